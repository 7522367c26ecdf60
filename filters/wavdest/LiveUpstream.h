// Whether the sound reaching an input pin comes from a live source: one that hands over what
// it captures as it captures it and cannot be made to wait. The filters upstream are asked,
// as far as the graph goes, while they are paused: a live source answers GetState with
// VFW_S_CANT_CUE then (what the filter graph managers of Windows and Wine take for live
// themselves), and a capture device's pin names PIN_CATEGORY_CAPTURE (Windows' Audio Capture).
#pragma once
#include <windows.h>
#include <dshow.h>

namespace wavdest {

bool IsLiveUpstream(IPin* connectedOutput) noexcept;

} // namespace wavdest
