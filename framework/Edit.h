#pragma once
#include "Window.h"

namespace fw {

// An edit control from a dialog template; its text goes through Window.
class Edit : public Window {};

} // namespace fw
