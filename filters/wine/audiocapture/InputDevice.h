// A capture device's input: its endpoint's shared stream where the endpoint takes the format
// (cheaper under Wine, see StreamDevice), else its waveIn device, which converts what the
// endpoint does not take. Each open chooses again.
#pragma once
#include "filters/wine/audiocapture/StreamDevice.h"
#include "filters/wine/audiocapture/WaveInDevice.h"

namespace audiocapture {

class InputDevice final : public CaptureDevice {
public:
    // `endpointId` is the waveIn device's endpoint, empty when the driver does not tell.
    InputDevice(UINT waveInId, std::wstring endpointId, const WAVEFORMATEX& format,
                DWORD bufferBytes, HANDLE bufferEvent) noexcept;

    HRESULT Allocate() noexcept override { return m_stream.Allocate(); }
    HRESULT Open() noexcept override;
    void Close() noexcept override { m_active->Close(); }
    bool IsOpen() const noexcept override { return m_active->IsOpen(); }

    bool Start() noexcept override { return m_active->Start(); }
    bool Started() const noexcept override { return m_active->Started(); }
    void Stop(DWORD waitMs) noexcept override { m_active->Stop(waitMs); }
    uint64_t CapturedSinceStart() noexcept override { return m_active->CapturedSinceStart(); }
    void TakeFilled(Receiver& receiver) noexcept override { m_active->TakeFilled(receiver); }

private:
    bool m_hasEndpoint;
    StreamDevice m_stream;
    WaveInDevice m_waveIn;
    bool m_waveInAllocated = false;
    CaptureDevice* m_active = &m_stream;
};

} // namespace audiocapture
