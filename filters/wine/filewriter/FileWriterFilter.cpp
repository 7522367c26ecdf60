#include "filters/wine/filewriter/FileWriterFilter.h"

#include <cstdio>
#include <cstring>

namespace filewriter {

FileWriterInputPin::FileWriterInputPin(FileWriterFilter& filter) noexcept
    : InputPin(filter, L"in"), m_owner(filter) {}

HRESULT FileWriterInputPin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    return pmt && IsEqualGUID(pmt->majortype, MEDIATYPE_Stream) ? S_OK : S_FALSE;
}

HRESULT FileWriterInputPin::OnReceive(IMediaSample* sample) noexcept {
    return m_owner.Write(sample);
}

STDMETHODIMP FileWriterInputPin::EndOfStream() noexcept {
    return m_owner.InputEnded();
}

FileWriterFilter::FileWriterFilter() noexcept : FilterBase(CLSID_FileWriter), m_input(*this) {}

FileWriterFilter::~FileWriterFilter() = default;

void* FileWriterFilter::FindInterface(REFIID riid) noexcept {
    void* found = kit::FindInEntries(
        riid, {{&IID_IFileSinkFilter, static_cast<IFileSinkFilter2*>(this)},
               {&IID_IFileSinkFilter2, static_cast<IFileSinkFilter2*>(this)},
               {&IID_IAMFilterMiscFlags, static_cast<IAMFilterMiscFlags*>(this)}});
    return found ? found : FilterBase::FindInterface(riid);
}

kit::PinBase* FileWriterFilter::GetPin(int index) noexcept {
    return index == 0 ? &m_input : nullptr;
}

// Like the system's writer, the name is only kept here; the file is opened when the graph
// leaves Stopped, and a file that cannot be opened fails Run (see OnPauseToRun).
STDMETHODIMP FileWriterFilter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) noexcept {
    if (!pszFileName) {
        return E_POINTER;
    }
    std::lock_guard lock(FilterLock());
    if (State() != State_Stopped) {
        return VFW_E_WRONG_STATE;
    }
    try {
        m_fileName = pszFileName;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP FileWriterFilter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) noexcept {
    if (!ppszFileName) {
        return E_POINTER;
    }
    std::lock_guard lock(FilterLock());
    *ppszFileName = nullptr;
    if (pmt) {
        *pmt = AM_MEDIA_TYPE{};
        pmt->majortype = MEDIATYPE_Stream;
    }
    if (m_fileName.empty()) {
        return E_FAIL;
    }
    size_t bytes = (m_fileName.size() + 1) * sizeof(WCHAR);
    *ppszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*ppszFileName) {
        return E_OUTOFMEMORY;
    }
    memcpy(*ppszFileName, m_fileName.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP FileWriterFilter::SetMode(DWORD dwFlags) noexcept {
    if (dwFlags & ~static_cast<DWORD>(AM_FILE_OVERWRITE)) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(FilterLock());
    m_mode = dwFlags;
    return S_OK;
}

STDMETHODIMP FileWriterFilter::GetMode(DWORD* pdwFlags) noexcept {
    if (!pdwFlags) {
        return E_POINTER;
    }
    *pdwFlags = m_mode;
    return S_OK;
}

// Remembers the first failure, so that every later write fails the same way, and tells the graph.
HRESULT FileWriterFilter::Fail(HRESULT hr) noexcept {
    if (SUCCEEDED(m_error)) {
        m_error = hr;
        NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return hr;
}

HRESULT FileWriterFilter::OnStopToPause() noexcept {
    std::lock_guard lock(m_fileLock);
    m_error = S_OK;
    m_endOfStreamPending = false;
    m_stalled = false;
    // A filter that fails Pause makes Wine 8.0's graph leave the others paused, and releasing
    // that graph then spins for ever on their refused disconnections (measured): the error is
    // posted now and returned by Run and every Receive instead.
    if (m_fileName.empty()) {
        Fail(E_FAIL);
        return S_OK;
    }
    DWORD disposition = (m_mode & AM_FILE_OVERWRITE) ? CREATE_ALWAYS : OPEN_ALWAYS;
    m_file.reset(CreateFileW(m_fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file) {
        Fail(HRESULT_FROM_WIN32(GetLastError()));
    }
    return S_OK;
}

HRESULT FileWriterFilter::OnPauseToRun(REFERENCE_TIME) noexcept {
    m_runTick = GetTickCount64();
    // A file that could not be opened fails Run, as the system's writer does; failing Pause
    // instead would leave Wine's graph unreleasable.
    if (!m_file && FAILED(m_error)) {
        return m_error;
    }
    if (m_endOfStreamPending) {
        m_endOfStreamPending = false;
        NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    }
    return S_OK;
}

HRESULT FileWriterFilter::OnPauseToStop() noexcept {
    std::lock_guard lock(m_fileLock);
    m_file.reset();
    return S_OK;
}

void FileWriterFilter::StallIfAsked() noexcept {
    char value[64];
    DWORD length = GetEnvironmentVariableA("CORVALE_FILEWRITER_STALL", value, sizeof(value));
    unsigned long afterMs = 0, stallMs = 0;
    if (m_stalled || length == 0 || length >= sizeof(value) ||
        sscanf(value, "%lu:%lu", &afterMs, &stallMs) != 2 ||
        GetTickCount64() - m_runTick < afterMs) {
        return;
    }
    m_stalled = true;
    Sleep(stallMs);
}

HRESULT FileWriterFilter::Write(IMediaSample* sample) noexcept {
    StallIfAsked();
    std::lock_guard lock(m_fileLock);
    if (FAILED(m_error)) {
        return m_error;
    }
    if (!m_file) {
        return VFW_E_WRONG_STATE;
    }
    REFERENCE_TIME start = 0, stop = 0;
    if (FAILED(sample->GetTime(&start, &stop))) {
        return Fail(VFW_E_SAMPLE_TIME_NOT_SET);
    }
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) {
        return Fail(hr);
    }
    long length = sample->GetActualDataLength();
    LARGE_INTEGER position;
    position.QuadPart = start;
    if (!SetFilePointerEx(m_file.get(), position, nullptr, FILE_BEGIN)) {
        return Fail(HRESULT_FROM_WIN32(GetLastError()));
    }
    DWORD written = 0;
    if (!WriteFile(m_file.get(), data, static_cast<DWORD>(length), &written, nullptr)) {
        return Fail(HRESULT_FROM_WIN32(GetLastError()));
    }
    if (written != static_cast<DWORD>(length)) {
        return Fail(HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    }
    return S_OK;
}

HRESULT FileWriterFilter::InputEnded() noexcept {
    if (State() == State_Running) {
        return NotifyEvent(EC_COMPLETE, S_OK,
                           reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    }
    m_endOfStreamPending = true;
    return S_OK;
}

} // namespace filewriter
