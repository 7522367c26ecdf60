// wavein_rec: the floor of a recording under Wine. It records a waveIn device into a WAV file
// with nothing else: 44.1 kHz 16-bit stereo in eight buffers of 100 ms (as the recorder's
// capture source uses), written with WriteFile, for a wall-clock time.
//   wavein_rec --device NAME --out PATH [--seconds S] [--window]
// With --window it also shows a bare dialog and runs its message loop meanwhile, which tells
// the cost of having a window apart from the cost of recording.
#include "InMemoryDialogTemplate.h"
#include "RecorderShared.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kBufferCount = 8;

// waveIn names are cut to 31 characters.
int FindDevice(const std::wstring& name) {
    const std::wstring wanted = name.substr(0, MAXPNAMELEN - 1);
    const UINT count = waveInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            wanted == caps.szPname) {
            return static_cast<int>(id);
        }
    }
    return -1;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) noexcept {
    return message == WM_INITDIALOG;
}

} // namespace

int main(int argc, char** argv) {
    RecorderOptions options;
    bool withWindow = false;
    const auto own = [&](const std::string& arg, int&) {
        withWindow = withWindow || arg == "--window";
        return arg == "--window";
    };
    if (!ParseRecorderOptions(argc, argv, options, own)) {
        std::fprintf(stderr,
                     "usage: wavein_rec --device NAME --out PATH [--seconds S] [--window]\n");
        return 2;
    }
    const int device = FindDevice(options.device);
    if (device < 0) {
        std::fprintf(stderr, "no waveIn device of that name\n");
        return 1;
    }
    HWND window = nullptr;
    InMemoryDialogTemplate dialog(L"wavein_rec", 244, 173);
    if (withWindow) {
        window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), nullptr,
                                            QuietDialog, 0);
    }
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    HANDLE file = CreateFileW(options.out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot create the output file\n");
        return 1;
    }
    WriteWavHeader(file, format, 0);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEIN wave = nullptr;
    if (waveInOpen(&wave, static_cast<UINT>(device), &format, reinterpret_cast<DWORD_PTR>(event), 0,
                   CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "waveInOpen failed\n");
        return 1;
    }
    const DWORD bufferBytes = format.nAvgBytesPerSec / 10;
    std::vector<std::vector<char>> memory(kBufferCount, std::vector<char>(bufferBytes));
    WAVEHDR headers[kBufferCount] = {};
    for (int i = 0; i < kBufferCount; ++i) {
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = bufferBytes;
        waveInPrepareHeader(wave, &headers[i], sizeof(WAVEHDR));
        waveInAddBuffer(wave, &headers[i], sizeof(WAVEHDR));
    }
    DWORD dataBytes = 0;
    int next = 0;
    auto collect = [&](bool requeue) {
        while (headers[next].dwFlags & WHDR_DONE) {
            WAVEHDR& h = headers[next];
            DWORD written = 0;
            if (h.dwBytesRecorded > 0 &&
                WriteFile(file, h.lpData, h.dwBytesRecorded, &written, nullptr)) {
                dataBytes += written;
            }
            h.dwFlags &= ~WHDR_DONE;
            h.dwBytesRecorded = 0;
            if (requeue) {
                waveInAddBuffer(wave, &h, sizeof(WAVEHDR));
            }
            next = (next + 1) % kBufferCount;
        }
    };
    waveInStart(wave);
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(options.seconds) * 1000;
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(1, &event, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!window || !IsDialogMessageW(window, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        collect(true);
    }
    waveInReset(wave);
    collect(false);
    for (WAVEHDR& h : headers) {
        waveInUnprepareHeader(wave, &h, sizeof(WAVEHDR));
    }
    waveInClose(wave);
    WriteWavHeader(file, format, dataBytes);
    CloseHandle(file);
    CloseHandle(event);
    if (window) {
        DestroyWindow(window);
    }
    std::printf("RECORDED_MS %lu\n",
                static_cast<unsigned long>(dataBytes / (format.nAvgBytesPerSec / 1000)));
    return 0;
}
