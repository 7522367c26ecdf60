// The switches through which the tests make this writer act as a stalled disk or as Windows'
// own File Writer. Only the tests set them, in the environment of the process they start; a
// user never does, and without them the writer writes as it always does.
#pragma once
#include <windows.h>
#include <cstdio>
#include <optional>

namespace filewriter {

class TestSeams {
public:
    struct Stall {
        unsigned long afterMs; // after the graph runs, the first write then...
        unsigned long stallMs; // ...takes this much longer
    };

    // CORVALE_FILEWRITER_STALL=AFTER_MS:STALL_MS
    static std::optional<Stall> StallAsked() noexcept {
        char value[64];
        const DWORD length =
            GetEnvironmentVariableA("CORVALE_FILEWRITER_STALL", value, sizeof(value));
        Stall stall{};
        if (length == 0 || length >= sizeof(value) ||
            sscanf(value, "%lu:%lu", &stall.afterMs, &stall.stallMs) != 2) {
            return std::nullopt;
        }
        return stall;
    }

    // CORVALE_FILEWRITER_STREAM=1: the input pin offers IStream as Windows' File Writer does,
    // and takes its writes after the graph stopped too ("WAV Dest" writes its header then).
    static bool OffersStream() noexcept {
        char offered[4];
        const DWORD length =
            GetEnvironmentVariableA("CORVALE_FILEWRITER_STREAM", offered, sizeof(offered));
        return length == 1 && offered[0] == '1';
    }
};

} // namespace filewriter
