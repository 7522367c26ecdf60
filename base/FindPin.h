#pragma once
#include <dshow.h>

// The n-th pin (from 0) of the given direction in the filter's pin order. On success the
// caller owns the returned reference; otherwise *pin is null.
HRESULT FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int n, IPin** pin);
