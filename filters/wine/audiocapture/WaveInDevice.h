// One waveIn device with its ring of buffers, read in order. It signals an event as buffers
// fill; the owner takes the filled ones and they go straight back to the device.
#pragma once
#include <vector>

#include "filters/wine/audiocapture/CaptureDevice.h"
#include "filters/wine/audiocapture/UnwrappedPosition.h"

namespace audiocapture {

class WaveInDevice final : public CaptureDevice {
public:
    WaveInDevice(UINT deviceId, const WAVEFORMATEX& format, DWORD bufferBytes,
                 HANDLE bufferEvent) noexcept;
    ~WaveInDevice() override;

    HRESULT Allocate() noexcept override;
    HRESULT Open() noexcept override;
    void Close() noexcept override;
    bool IsOpen() const noexcept override { return m_wave != nullptr; }

    bool Start() noexcept override;
    bool Started() const noexcept override { return m_started; }
    // The partly filled buffer comes back done after the stop.
    void Stop(DWORD waitMs) noexcept override;
    uint64_t CapturedSinceStart() noexcept override;
    // Each filled buffer goes straight back to the device.
    void TakeFilled(Receiver& receiver) noexcept override;

private:
    void Requeue(WAVEHDR& header) noexcept;
    uint64_t Position() noexcept;
    uint64_t InFinishedBuffers() const noexcept;

    UINT m_deviceId;
    WAVEFORMATEX m_format;
    HANDLE m_bufferEvent;
    DWORD m_bufferBytes;
    HWAVEIN m_wave = nullptr;
    std::vector<std::vector<BYTE>> m_memory;
    std::vector<WAVEHDR> m_headers;
    size_t m_next = 0;
    bool m_started = false;
    UnwrappedPosition m_position;
    uint64_t m_positionAtStart = 0;
    uint64_t m_takenSinceStart = 0;
};

} // namespace audiocapture
