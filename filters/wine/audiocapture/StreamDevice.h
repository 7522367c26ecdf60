// A shared WASAPI capture stream: an input endpoint's, or the loopback of what the default
// output plays (Wine 10 has it, Wine 8 does not: its capture client refuses a render
// endpoint). Wine's default output is a device of its own that follows the sound server's
// default sink, but a loopback stream stays on the sink it began on (measured under Wine 10),
// so a new one is opened for each recording. It is polled: the capture thread collects at
// least every 100 ms, and a second of buffer covers that. Under Wine 8 a polled input stream
// costs about two thirds of the CPU of the same input through waveIn, whose own thread wakes
// at each of the stream's 10 ms periods (measured with bench/record_bench.sh).
#pragma once
#include <audioclient.h>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "filters/wine/audiocapture/CaptureDevice.h"

namespace audiocapture {

class StreamDevice final : public CaptureDevice {
public:
    // The input endpoint `inputId`'s stream, handed over in pieces of `pieceBytes` as a waveIn
    // device's buffers; an empty id stands for the default output's loopback.
    StreamDevice(const WAVEFORMATEX& format, DWORD pieceBytes, std::wstring inputId) noexcept;
    ~StreamDevice() override;

    // Whether the platform has loopback capture of the default output in this format.
    static bool LoopbackSupported(const WAVEFORMATEX& format) noexcept;

    HRESULT Allocate() noexcept override;
    HRESULT Open() noexcept override;
    void Close() noexcept override;
    bool IsOpen() const noexcept override { return static_cast<bool>(m_capture); }

    bool Start() noexcept override;
    bool Started() const noexcept override { return m_started; }
    // What the stream captured stays in its buffer after the stop, for TakeFilled.
    void Stop(DWORD waitMs) noexcept override;
    uint64_t CapturedSinceStart() noexcept override;
    // Whole pieces only while it runs, and the partly filled one after the stop: a piece of
    // its own size each, not the stream's packets of a period.
    void TakeFilled(Receiver& receiver) noexcept override;

private:
    HRESULT Activate(base::ComPtr<IAudioClient>& client) const noexcept;
    void Gather(Receiver& receiver, const BYTE* data, DWORD bytes) noexcept;

    WAVEFORMATEX m_format;
    std::wstring m_inputId;
    base::ComPtr<IAudioClient> m_client;
    base::ComPtr<IAudioCaptureClient> m_capture;
    std::vector<BYTE> m_piece;
    DWORD m_pieceBytes;
    DWORD m_filled = 0;
    bool m_started = false;
    uint64_t m_takenSinceStart = 0;
};

} // namespace audiocapture
