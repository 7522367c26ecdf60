#pragma once
#include "Window.h"

namespace fw {

class Static : public Window {};

} // namespace fw
