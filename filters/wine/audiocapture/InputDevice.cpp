#include "filters/wine/audiocapture/InputDevice.h"

namespace audiocapture {

InputDevice::InputDevice(UINT waveInId, std::wstring endpointId, const WAVEFORMATEX& format,
                         DWORD bufferBytes, HANDLE bufferEvent) noexcept
    : m_hasEndpoint(!endpointId.empty()), m_stream(format, bufferBytes, std::move(endpointId)),
      m_waveIn(waveInId, format, bufferBytes, bufferEvent) {}

HRESULT InputDevice::Open() noexcept {
    m_active->Close();
    m_active = &m_stream;
    if (m_hasEndpoint && SUCCEEDED(m_stream.Open())) {
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
    return m_waveIn.Open();
}

} // namespace audiocapture
