#include "RecorderShared.h"

#include "base/AnsiText.h"

#include <cstdlib>
#include <cstring>

bool ParseRecorderOptions(int argc, char** argv, RecorderOptions& options, const OwnOption& own) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--device" && i + 1 < argc) {
            options.device = base::Widen(argv[++i]);
        } else if (arg == "--out" && i + 1 < argc) {
            options.out = base::Widen(argv[++i]);
        } else if (arg == "--seconds" && i + 1 < argc) {
            options.seconds = std::atoi(argv[++i]);
        } else if (!own(arg, i)) {
            return false;
        }
    }
    return !options.device.empty() && !options.out.empty() && options.seconds > 0;
}

void WriteWavHeader(HANDLE file, const WAVEFORMATEX& format, DWORD dataBytes) {
    struct Header {
        char riff[4];
        DWORD riffSize;
        char wave[4];
        char fmt[4];
        DWORD fmtSize;
        PCMWAVEFORMAT pcm;
        char data[4];
        DWORD dataSize;
    } header{};
    static_assert(sizeof(Header) == 44);
    std::memcpy(header.riff, "RIFF", 4);
    header.riffSize = 36 + dataBytes;
    std::memcpy(header.wave, "WAVE", 4);
    std::memcpy(header.fmt, "fmt ", 4);
    header.fmtSize = sizeof(PCMWAVEFORMAT);
    std::memcpy(&header.pcm, &format, sizeof(PCMWAVEFORMAT));
    std::memcpy(header.data, "data", 4);
    header.dataSize = dataBytes;
    DWORD written = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, &header, sizeof header, &written, nullptr);
}
