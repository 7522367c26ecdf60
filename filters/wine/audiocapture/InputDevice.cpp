#include "filters/wine/audiocapture/InputDevice.h"

namespace audiocapture {

namespace {
// CORVALE_CAPTURE_WAVEIN=1: waveIn even where the stream takes the format. Only the tests set
// it, to keep that path tried; a user never does.
bool WaveInAsked() noexcept {
    char asked[4];
    const DWORD length = GetEnvironmentVariableA("CORVALE_CAPTURE_WAVEIN", asked, sizeof(asked));
    return length == 1 && asked[0] == '1';
}
} // namespace

InputDevice::InputDevice(UINT waveInId, std::wstring endpointId, const WAVEFORMATEX& format,
                         DWORD bufferBytes, HANDLE bufferEvent) noexcept
    : m_hasEndpoint(!endpointId.empty()), m_stream(format, bufferBytes, std::move(endpointId)),
      m_waveIn(waveInId, format, bufferBytes, bufferEvent) {}

HRESULT InputDevice::Open() noexcept {
    m_active->Close();
    m_active = &m_stream;
    if (m_hasEndpoint && !WaveInAsked() && SUCCEEDED(m_stream.Open())) {
        return S_OK;
    }
    m_active = &m_waveIn;
    if (!m_waveInAllocated) {
        const HRESULT hr = m_waveIn.Allocate();
        if (FAILED(hr)) {
            return hr;
        }
        m_waveInAllocated = true;
    }
    const HRESULT hr = m_waveIn.Open();
    if (SUCCEEDED(hr)) {
        OutputDebugStringA("Audio Capture: the input is captured through waveIn\n");
    }
    return hr;
}

} // namespace audiocapture
