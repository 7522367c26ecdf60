// The 44-byte header of a PCM WAV file, written at the file's start, for the bench recorders.
#pragma once
#include <windows.h>
#include <mmsystem.h>

void WriteWavHeader(HANDLE file, const WAVEFORMATEX& format, DWORD dataBytes);
