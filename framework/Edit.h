#pragma once
#include "Window.h"

namespace fw {

class Edit : public Window {
public:
    void SetLimitText(UINT limit) const { Send(EM_SETLIMITTEXT, limit); }
};

} // namespace fw
