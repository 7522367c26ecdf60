#include "filters/wine/audiocapture/AudioCaptureFilter.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <new>

#include "base/ComPtr.h"
#include "filters/wine/audiocapture/StreamDevice.h"
#include "filters/wine/audiocapture/SoundEndpoints.h"

namespace audiocapture {

AudioCaptureFilter::AudioCaptureFilter() noexcept
    : FilterBase(CLSID_AudioRecord), m_output(*this) {}

AudioCaptureFilter::~AudioCaptureFilter() {
    CaptureReader::Discard(std::move(m_reader));
}

void* AudioCaptureFilter::FindInterface(REFIID riid) noexcept {
    void* found = kit::FindInEntries(
        riid, {{&IID_IPersistPropertyBag, static_cast<IPersistPropertyBag*>(this)},
               {&IID_IAMFilterMiscFlags, static_cast<IAMFilterMiscFlags*>(this)}});
    return found ? found : FilterBase::FindInterface(riid);
}

int AudioCaptureFilter::PinCount() noexcept {
    return 1 + static_cast<int>(m_lines.size());
}

kit::PinBase* AudioCaptureFilter::GetPin(int index) noexcept {
    if (index == 0) {
        return &m_output;
    }
    if (index > 0 && index <= static_cast<int>(m_lines.size())) {
        return m_lines[index - 1].get();
    }
    return nullptr;
}

STDMETHODIMP AudioCaptureFilter::InitNew() noexcept {
    std::lock_guard lock(FilterLock());
    if (m_persisted != Persisted::No) {
        return E_UNEXPECTED;
    }
    m_persisted = Persisted::New;
    return UseDevice(0);
}

// The bag of a device moniker holds the device number as "WaveInID" (Wine writes "WaveInId";
// its bag ignores case) and wants VT_EMPTY or VT_I4 asked for.
STDMETHODIMP AudioCaptureFilter::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) noexcept {
    if (!pPropBag) {
        return E_POINTER;
    }
    std::lock_guard lock(FilterLock());
    if (m_persisted == Persisted::Loaded) {
        return E_UNEXPECTED;
    }
    if (State() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    HRESULT hr = pPropBag->Read(L"WaveInID", &v, pErrorLog);
    if (FAILED(hr)) {
        VariantInit(&v);
        hr = pPropBag->Read(L"WaveInId", &v, pErrorLog);
    }
    if (FAILED(hr)) {
        return hr;
    }
    if (v.vt != VT_I4) {
        VariantClear(&v);
        return E_INVALIDARG;
    }
    m_persisted = Persisted::Loaded;
    return UseDevice(static_cast<UINT>(v.lVal));
}

// A Load after InitNew replaces the lines made for device 0. A caller may still hold one of
// them (pins share the filter's count), so they are kept until the filter goes.
HRESULT AudioCaptureFilter::UseDevice(UINT deviceId) noexcept {
    try {
        m_retiredLines.reserve(m_retiredLines.size() + m_lines.size());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    std::move(m_lines.begin(), m_lines.end(), std::back_inserter(m_retiredLines));
    m_lines.clear();
    m_captured = 0;
    {
        std::lock_guard lock(m_supportLock);
        m_supported.clear();
    }
    m_deviceId = deviceId;
    return CreateLinePins();
}

// "Stereo Mix" comes first: the program keeps the chosen line by its position, and so the
// position it found "Stereo Mix" at means the same line on every device, monitors included.
HRESULT AudioCaptureFilter::CreateLinePins() noexcept {
    try {
        EndpointCatalog catalog = SoundEndpoints::Read();
        switch (catalog.KindOf(SoundEndpoints::EndpointOfWaveIn(m_deviceId))) {
        case EndpointCatalog::InputKind::Monitor:
            AddLine(L"Stereo Mix", LineInput::Device);
            break;
        case EndpointCatalog::InputKind::LineIn:
            AddLine(L"Stereo Mix", LineInput::DefaultOutput);
            AddLine(L"Line In", LineInput::Device);
            break;
        case EndpointCatalog::InputKind::Microphone:
            AddLine(L"Stereo Mix", LineInput::DefaultOutput);
            AddLine(L"Microphone", LineInput::Device);
            break;
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    m_lines[0]->SetEnabled(true);
    Prepare();
    return S_OK;
}

void AudioCaptureFilter::AddLine(const WCHAR* name, LineInput input) {
    m_lines.push_back(std::make_unique<MixerLinePin>(*this, name, m_lines.size(), input));
}

HRESULT AudioCaptureFilter::EnableLine(size_t line, bool enable) noexcept {
    std::lock_guard lock(FilterLock());
    if (line >= m_lines.size()) {
        return E_INVALIDARG;
    }
    if (enable && line != m_captured) {
        if (State() != State_Stopped) {
            return VFW_E_NOT_STOPPED;
        }
        m_lines[m_captured]->SetEnabled(false);
        m_captured = line;
        Prepare();
    }
    m_lines[line]->SetEnabled(enable);
    return S_OK;
}

// The default output is looked up each time, so that a recording follows it when it changes.
CaptureSource AudioCaptureFilter::SourceOf(LineInput input) noexcept {
    if (input == LineInput::Device) {
        return {CaptureSource::Kind::WaveIn, m_deviceId};
    }
    if (LoopbackSupported()) {
        return {CaptureSource::Kind::Loopback, 0};
    }
    return {CaptureSource::Kind::WaveIn, m_defaultOutput.WaveInId()};
}

// Measured: Wine 8 has no loopback; Wine 10's follows the sound server's default sink, which
// the monitors cannot, Wine's default output not naming its sink.
bool AudioCaptureFilter::LoopbackSupported() noexcept {
    if (!m_loopback) {
        m_loopback = StreamDevice::LoopbackSupported(CaptureOutputPin::FirstFormat());
    }
    return *m_loopback;
}

// The first Record should not wait for the device to open (up to 150 ms measured): the
// captured line's device is opened now, in the format the connection has or gets first, if
// the device takes it. A loopback stream is opened by each recording instead. Nor should it
// wait for the answers about the formats: Wine's graph first tries the file writer, which
// takes none, and our pin asked about each of its formats on the way (15 to 45 ms of the
// first Record on a loaded machine, measured).
void AudioCaptureFilter::Prepare() noexcept {
    m_output.LearnFormats();
    CaptureSource source = SourceOf(m_lines[m_captured]->Input());
    if (source.kind == CaptureSource::Kind::Loopback) {
        CaptureReader::Discard(std::move(m_reader));
        return;
    }
    WAVEFORMATEX first = m_output.OfferedFormat();
    const WAVEFORMATEX* wfx = m_output.IsConnected()  ? kit::PcmFormatOf(&m_output.CurrentType())
                              : DeviceSupports(first) ? &first
                                                      : nullptr;
    if (wfx) {
        OpenReader(*wfx, source);
    }
}

// Connecting asks about each format several times, and each question opens the device under
// Wine (measured: two dozen questions, 50 to 120 ms of a loaded machine, at every Record,
// before any sound is captured): the answers are kept for the device's life.
bool AudioCaptureFilter::DeviceSupports(const WAVEFORMATEX& wfx) noexcept {
    const uint64_t key =
        (uint64_t{wfx.nSamplesPerSec} << 32) | (uint64_t{wfx.nChannels} << 16) | wfx.wBitsPerSample;
    std::lock_guard lock(m_supportLock);
    for (const auto& [known, supported] : m_supported) {
        if (known == key) {
            return supported;
        }
    }
    WAVEFORMATEX query = wfx;
    query.cbSize = 0;
    bool supported =
        waveInOpen(nullptr, m_deviceId, &query, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
    try {
        m_supported.emplace_back(key, supported);
    } catch (...) {
    }
    return supported;
}

double AudioCaptureFilter::Gain() const noexcept {
    return m_lines[m_captured]->Gain();
}

HRESULT AudioCaptureFilter::OnStopToPause() noexcept {
    if (!m_output.IsConnected()) {
        return S_OK;
    }
    const WAVEFORMATEX* wfx = kit::PcmFormatOf(&m_output.CurrentType());
    if (!wfx) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    m_format = *wfx;
    m_bytesDelivered = 0;
    HRESULT hr = OpenReader(m_format, SourceOf(m_lines[m_captured]->Input()));
    return SUCCEEDED(hr) ? m_reader->Arm() : hr;
}

// A waveIn device opened before stays open for every run from it in the same format and pieces.
HRESULT AudioCaptureFilter::OpenReader(const WAVEFORMATEX& wfx,
                                       const CaptureSource& source) noexcept {
    const DWORD pieceBytes = m_output.PieceBytes(wfx);
    if (m_reader && source.kind == CaptureSource::Kind::WaveIn && m_source == source &&
        kit::SamePcmFormat(m_reader->Format(), wfx) && m_reader->PieceBytes() == pieceBytes) {
        return S_OK;
    }
    CaptureReader::Discard(std::move(m_reader));
    CaptureSink& sink = *this;
    m_reader.reset(new (std::nothrow) CaptureReader(sink, source, wfx, pieceBytes));
    if (!m_reader) {
        return E_OUTOFMEMORY;
    }
    m_source = source;
    HRESULT hr = m_reader->Open();
    if (FAILED(hr)) {
        CaptureReader::Discard(std::move(m_reader));
    }
    return hr;
}

HRESULT AudioCaptureFilter::OnPauseToRun(REFERENCE_TIME) noexcept {
    return m_reader ? m_reader->Start() : S_OK;
}

HRESULT AudioCaptureFilter::OnRunToPause() noexcept {
    return m_reader ? m_reader->Pause() : S_OK;
}

HRESULT AudioCaptureFilter::OnPauseToStop() noexcept {
    return m_reader ? m_reader->Stop() : S_OK;
}

void AudioCaptureFilter::OnCaptured(const BYTE* data, DWORD bytes, bool discontinuity,
                                    double agoMs) noexcept {
    base::ComPtr<IMediaSample> sample;
    if (FAILED(m_output.GetDeliveryBuffer(sample.put()))) {
        return;
    }
    BYTE* out = nullptr;
    if (FAILED(sample->GetPointer(&out))) {
        return;
    }
    bytes = std::min<DWORD>(bytes, static_cast<DWORD>(sample->GetSize()));
    double gain = Gain();
    if (gain >= 1.0) {
        memcpy(out, data, bytes);
    } else if (m_format.wBitsPerSample == 16) {
        auto* dst = reinterpret_cast<int16_t*>(out);
        const auto* src = reinterpret_cast<const int16_t*>(data);
        for (DWORD i = 0; i < bytes / 2; ++i) {
            dst[i] = static_cast<int16_t>(src[i] * gain);
        }
    } else {
        for (DWORD i = 0; i < bytes; ++i) {
            out[i] = static_cast<BYTE>(128 + (data[i] - 128) * gain);
        }
    }
    sample->SetActualDataLength(static_cast<long>(bytes));

    sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
    DeliverStamped(sample.get(), agoMs);
}

// An empty sample stamped at the click: a sink that ends a take when sound reaches the click
// need not wait for more when the last sound before it was dropped upstream.
void AudioCaptureFilter::OnSentUntil(double agoMs) noexcept {
    base::ComPtr<IMediaSample> sample;
    if (SUCCEEDED(m_output.GetDeliveryBuffer(sample.put()))) {
        sample->SetActualDataLength(0);
        DeliverStamped(sample.get(), agoMs);
    }
}

// Stamped with the stream time at which the sound was captured, as a card's driver does: a
// sink that ends a take at the click's stream time keeps all the sound before it.
void AudioCaptureFilter::DeliverStamped(IMediaSample* sample, double agoMs) noexcept {
    const auto bytes = static_cast<ULONGLONG>(sample->GetActualDataLength());
    const REFERENCE_TIME duration =
        static_cast<REFERENCE_TIME>(bytes) * 10000000 / m_format.nAvgBytesPerSec;
    REFERENCE_TIME now = 0;
    REFERENCE_TIME start =
        ClockTime(&now)
            ? now - StartTime() - static_cast<REFERENCE_TIME>(agoMs * 10000)
            : static_cast<REFERENCE_TIME>(m_bytesDelivered * 10000000 / m_format.nAvgBytesPerSec);
    REFERENCE_TIME stop = start + duration;
    m_bytesDelivered += bytes;
    sample->SetTime(&start, &stop);
    LONGLONG frameStart = static_cast<LONGLONG>((m_bytesDelivered - bytes) / m_format.nBlockAlign);
    LONGLONG frameStop = static_cast<LONGLONG>(m_bytesDelivered / m_format.nBlockAlign);
    sample->SetMediaTime(&frameStart, &frameStop);
    sample->SetSyncPoint(TRUE);
    m_output.Deliver(sample);
}

void AudioCaptureFilter::OnDeviceLost() noexcept {
    NotifyEvent(EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)), 0);
}

void AudioCaptureFilter::OnDeviceBack() noexcept {
    NotifyEvent(EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)), 1);
}

} // namespace audiocapture
