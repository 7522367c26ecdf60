// What the bench recorders share: their common options and the 44-byte header of the PCM WAV
// file they write.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <string>

struct RecorderOptions {
    std::wstring device;
    std::wstring out;
    int seconds = 10;
};

// Takes one of the program's own options, argv[i], moving i past its value; false refuses it.
using OwnOption = std::function<bool(const std::string& arg, int& i)>;

// --device NAME --out PATH [--seconds S] and the program's own; false when one is wrong or
// missing.
bool ParseRecorderOptions(int argc, char** argv, RecorderOptions& options, const OwnOption& own);

// Written at the file's start.
void WriteWavHeader(HANDLE file, const WAVEFORMATEX& format, DWORD dataBytes);
