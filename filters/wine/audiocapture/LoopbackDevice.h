// What the default output plays, through a WASAPI loopback stream (Wine 10 has it, Wine 8 does
// not: its capture client refuses a render endpoint). Wine's default output is a device of its
// own that follows the sound server's default sink, but a loopback stream stays on the sink it
// began on (measured under Wine 10), so a new one is opened for each recording. It is polled:
// the capture thread collects at least every 100 ms, and a second of buffer covers that.
#pragma once
#include <audioclient.h>
#include <vector>

#include "base/ComPtr.h"
#include "filters/wine/audiocapture/CaptureDevice.h"

namespace audiocapture {

class LoopbackDevice final : public CaptureDevice {
public:
    explicit LoopbackDevice(const WAVEFORMATEX& format) noexcept;
    ~LoopbackDevice() override;

    // Whether the platform has loopback capture of the default output in this format.
    static bool Supported(const WAVEFORMATEX& format) noexcept;

    HRESULT Allocate() noexcept override;
    HRESULT Open() noexcept override;
    void Close() noexcept override;
    bool IsOpen() const noexcept override { return static_cast<bool>(m_capture); }

    bool Start() noexcept override;
    bool Started() const noexcept override { return m_started; }
    // What the stream captured stays in its buffer after the stop, for TakeFilled.
    void Stop(DWORD waitMs) noexcept override;
    uint64_t CapturedSinceStart() noexcept override;
    void TakeFilled(Receiver& receiver) noexcept override;

private:
    void TakeSilence(Receiver& receiver, DWORD bytes) noexcept;

    WAVEFORMATEX m_format;
    base::ComPtr<IAudioClient> m_client;
    base::ComPtr<IAudioCaptureClient> m_capture;
    std::vector<BYTE> m_silence;
    bool m_started = false;
    uint64_t m_takenSinceStart = 0;
};

} // namespace audiocapture
