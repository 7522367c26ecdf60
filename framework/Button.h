#pragma once
#include "Window.h"

namespace fw {

// A push button from a dialog template.
class Button : public Window {};

} // namespace fw
