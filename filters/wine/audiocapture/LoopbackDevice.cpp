#include "filters/wine/audiocapture/LoopbackDevice.h"

#include <mmdeviceapi.h>
#include <algorithm>

#include "base/ComApartment.h"

namespace audiocapture {

namespace {
// In 100 ns units: a second.
constexpr REFERENCE_TIME kBufferDuration = 10000000;
} // namespace

LoopbackDevice::LoopbackDevice(const WAVEFORMATEX& format) noexcept : m_format(format) {
    m_format.cbSize = 0;
}

LoopbackDevice::~LoopbackDevice() {
    Close();
}

bool LoopbackDevice::Supported(const WAVEFORMATEX& format) noexcept {
    LoopbackDevice probe(format);
    return SUCCEEDED(probe.Open());
}

HRESULT LoopbackDevice::Allocate() noexcept {
    try {
        m_silence.assign(BufferBytes(m_format), m_format.wBitsPerSample == 8 ? 128 : 0);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// Called from the filter's callers and from the capture thread; a thread without COM joins the
// multithreaded apartment for the call (Wine's audio objects are not bound to one).
HRESULT LoopbackDevice::Open() noexcept {
    Close();
    base::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    base::ComPtr<IMMDeviceEnumerator> enumerator;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator), enumerator.put_void());
    base::ComPtr<IMMDevice> output;
    if (SUCCEEDED(hr)) {
        hr = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, output.put());
    }
    base::ComPtr<IAudioClient> client;
    if (SUCCEEDED(hr)) {
        hr = output->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                              client.put_void());
    }
    if (SUCCEEDED(hr)) {
        hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_LOOPBACK,
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

void LoopbackDevice::Close() noexcept {
    if (m_client) {
        m_client->Stop();
    }
    m_capture.reset();
    m_client.reset();
    m_started = false;
}

// A start drops what the stream held from before it.
bool LoopbackDevice::Start() noexcept {
    Stop(0);
    m_started = m_client && SUCCEEDED(m_client->Reset()) && SUCCEEDED(m_client->Start());
    m_takenSinceStart = 0;
    return m_started;
}

void LoopbackDevice::Stop(DWORD) noexcept {
    if (m_client && m_started) {
        m_client->Stop();
    }
    m_started = false;
}

uint64_t LoopbackDevice::CapturedSinceStart() noexcept {
    UINT32 waiting = 0;
    if (m_client && FAILED(m_client->GetCurrentPadding(&waiting))) {
        waiting = 0;
    }
    return m_takenSinceStart + uint64_t{waiting} * m_format.nBlockAlign;
}

void LoopbackDevice::TakeFilled(Receiver& receiver) noexcept {
    BYTE* data = nullptr;
    UINT32 frames = 0;
    DWORD flags = 0;
    while (m_capture && m_capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr) == S_OK) {
        const DWORD bytes = frames * m_format.nBlockAlign;
        m_takenSinceStart += bytes;
        if (flags & AUDCLNT_BUFFERFLAGS_SILENT) {
            TakeSilence(receiver, bytes);
        } else if (bytes > 0) {
            receiver.Take(data, bytes);
        }
        m_capture->ReleaseBuffer(frames);
    }
}

// A silent packet's data is not to be read: silence of its length stands for it.
void LoopbackDevice::TakeSilence(Receiver& receiver, DWORD bytes) noexcept {
    const auto chunk = static_cast<DWORD>(m_silence.size());
    for (DWORD at = 0; chunk > 0 && at < bytes; at += chunk) {
        receiver.Take(m_silence.data(), std::min(chunk, bytes - at));
    }
}

} // namespace audiocapture
