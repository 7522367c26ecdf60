// One waveIn device with its ring of buffers, read in order. It signals an event as buffers
// fill; the owner takes the filled ones and they go straight back to the device.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <cstdint>
#include <vector>

namespace audiocapture {

class WaveInDevice {
public:
    WaveInDevice(UINT deviceId, const WAVEFORMATEX& format, HANDLE bufferEvent) noexcept;
    ~WaveInDevice();
    WaveInDevice(const WaveInDevice&) = delete;
    WaveInDevice& operator=(const WaveInDevice&) = delete;

    // The bytes of one buffer (a tenth of a second): also the size of the samples the capture
    // filter delivers, so that each buffer fits one sample.
    static DWORD BufferBytes(const WAVEFORMATEX& format) noexcept;

    HRESULT Allocate() noexcept;
    MMRESULT Open() noexcept;
    void Close() noexcept;
    bool IsOpen() const noexcept { return m_wave != nullptr; }

    bool Start() noexcept;
    bool Started() const noexcept { return m_started; }
    // Stops the device; the partly filled buffer comes back done, waited for up to `waitMs`.
    void Stop(DWORD waitMs) noexcept;
    // Bytes captured since the last Start, the partly filled buffer's included.
    uint64_t CapturedSinceStart() noexcept;

    // Hands each filled buffer in order to `take(data, bytes)` and gives it back.
    template <typename Take> void TakeFilled(Take take) noexcept {
        while (m_wave && (m_headers[m_next].dwFlags & WHDR_DONE)) {
            WAVEHDR& h = m_headers[m_next];
            m_takenSinceStart += h.dwBytesRecorded;
            if (h.dwBytesRecorded > 0) {
                take(reinterpret_cast<const BYTE*>(h.lpData), h.dwBytesRecorded);
            }
            Requeue(h);
            m_next = (m_next + 1) % m_headers.size();
        }
    }

private:
    void Requeue(WAVEHDR& header) noexcept;
    uint64_t Position() noexcept;

    UINT m_deviceId;
    WAVEFORMATEX m_format;
    HANDLE m_bufferEvent;
    DWORD m_bufferBytes;
    HWAVEIN m_wave = nullptr;
    std::vector<std::vector<BYTE>> m_memory;
    std::vector<WAVEHDR> m_headers;
    size_t m_next = 0;
    bool m_started = false;
    uint64_t m_positionAtStart = 0;
    uint64_t m_takenSinceStart = 0;
};

} // namespace audiocapture
