// "WAV Dest"'s class id: the DLL registers under it and the program creates the filter by it.
#pragma once
#include <windows.h>

// {3C78B8E2-6C4D-11D1-ADE2-0000F8754B98}
inline constexpr CLSID CLSID_WavDest = {
    0x3c78b8e2, 0x6c4d, 0x11d1, {0xad, 0xe2, 0x00, 0x00, 0xf8, 0x75, 0x4b, 0x98}};
