#include "filters/wine/audiocapture/StreamDevice.h"

#include <mmdeviceapi.h>
#include <algorithm>
#include <utility>

#include "base/ComApartment.h"

namespace audiocapture {

namespace {
// In 100 ns units: a second.
constexpr REFERENCE_TIME kBufferDuration = 10000000;
} // namespace

StreamDevice::StreamDevice(const WAVEFORMATEX& format, DWORD pieceBytes,
                           std::wstring inputId) noexcept
    : m_format(format), m_inputId(std::move(inputId)), m_pieceBytes(pieceBytes) {
    m_format.cbSize = 0;
}

StreamDevice::~StreamDevice() {
    Close();
}

bool StreamDevice::LoopbackSupported(const WAVEFORMATEX& format) noexcept {
    StreamDevice probe(format, BufferBytes(format), {});
    return SUCCEEDED(probe.Open());
}

HRESULT StreamDevice::Allocate() noexcept {
    try {
        m_piece.resize(m_pieceBytes);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// Called from the filter's callers and from the capture thread; a thread without COM joins the
// multithreaded apartment for the call (Wine's audio objects are not bound to one).
HRESULT StreamDevice::Open() noexcept {
    Close();
    base::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    base::ComPtr<IAudioClient> client;
    HRESULT hr = Activate(client);
    if (SUCCEEDED(hr)) {
        hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                m_inputId.empty() ? AUDCLNT_STREAMFLAGS_LOOPBACK : 0,
                                kBufferDuration, 0, &m_format, nullptr);
    }
    base::ComPtr<IAudioCaptureClient> capture;
    if (SUCCEEDED(hr)) {
        hr = client->GetService(__uuidof(IAudioCaptureClient), capture.put_void());
    }
    if (FAILED(hr)) {
        return hr;
    }
    m_client = std::move(client);
    m_capture = std::move(capture);
    return S_OK;
}

HRESULT StreamDevice::Activate(base::ComPtr<IAudioClient>& client) const noexcept {
    base::ComPtr<IMMDeviceEnumerator> enumerator;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator), enumerator.put_void());
    base::ComPtr<IMMDevice> endpoint;
    if (SUCCEEDED(hr)) {
        hr = m_inputId.empty()
                 ? enumerator->GetDefaultAudioEndpoint(eRender, eConsole, endpoint.put())
                 : enumerator->GetDevice(m_inputId.c_str(), endpoint.put());
    }
    if (SUCCEEDED(hr)) {
        hr = endpoint->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                                client.put_void());
    }
    return hr;
}

void StreamDevice::Close() noexcept {
    if (m_client) {
        m_client->Stop();
    }
    m_capture.reset();
    m_client.reset();
    m_started = false;
}

// A start drops what the stream held from before it.
bool StreamDevice::Start() noexcept {
    Stop(0);
    m_started = m_client && SUCCEEDED(m_client->Reset()) && SUCCEEDED(m_client->Start());
    m_takenSinceStart = 0;
    m_filled = 0;
    return m_started;
}

void StreamDevice::Stop(DWORD) noexcept {
    if (m_client && m_started) {
        m_client->Stop();
    }
    m_started = false;
}

uint64_t StreamDevice::CapturedSinceStart() noexcept {
    UINT32 waiting = 0;
    if (m_client && FAILED(m_client->GetCurrentPadding(&waiting))) {
        waiting = 0;
    }
    return m_takenSinceStart + uint64_t{waiting} * m_format.nBlockAlign;
}

void StreamDevice::TakeFilled(Receiver& receiver) noexcept {
    BYTE* data = nullptr;
    UINT32 frames = 0;
    DWORD flags = 0;
    while (m_capture && m_capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr) == S_OK) {
        const DWORD bytes = frames * m_format.nBlockAlign;
        m_takenSinceStart += bytes;
        // A silent packet's data is not to be read: silence of its length stands for it.
        Gather(receiver, flags & AUDCLNT_BUFFERFLAGS_SILENT ? nullptr : data, bytes);
        m_capture->ReleaseBuffer(frames);
    }
    if (!m_started && m_filled > 0) {
        receiver.Take(m_piece.data(), std::exchange(m_filled, 0));
    }
}

// Null `data` gathers silence.
void StreamDevice::Gather(Receiver& receiver, const BYTE* data, DWORD bytes) noexcept {
    const BYTE silence = m_format.wBitsPerSample == 8 ? 128 : 0;
    while (bytes > 0 && !m_piece.empty()) {
        const DWORD part = std::min(bytes, static_cast<DWORD>(m_piece.size()) - m_filled);
        BYTE* to = m_piece.data() + m_filled;
        if (data) {
            std::copy(data, data + part, to);
            data += part;
        } else {
            std::fill(to, to + part, silence);
        }
        m_filled += part;
        bytes -= part;
        if (m_filled == m_piece.size()) {
            receiver.Take(m_piece.data(), std::exchange(m_filled, 0));
        }
    }
}

} // namespace audiocapture
