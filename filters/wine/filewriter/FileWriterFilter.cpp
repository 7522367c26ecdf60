#include "filters/wine/filewriter/FileWriterFilter.h"

#include <cstring>

#include "filters/wine/filewriter/TestSeams.h"

namespace filewriter {

// Each sample is written to the file before Receive returns.
FileWriterInputPin::FileWriterInputPin(FileWriterFilter& filter) noexcept
    : InputPin(filter, L"in", kit::ReceiveBlocks::Yes), m_owner(filter) {}

HRESULT FileWriterInputPin::CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept {
    return pmt && m_owner.TakesType(*pmt) ? S_OK : S_FALSE;
}

void* FileWriterInputPin::FindInterface(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IStream) && TestSeams::OffersStream()) {
        return static_cast<IStream*>(this);
    }
    return InputPin::FindInterface(riid);
}

STDMETHODIMP FileWriterInputPin::Write(const void* pv, ULONG cb, ULONG* pcbWritten) noexcept {
    if (!pv) {
        return STG_E_INVALIDPOINTER;
    }
    HRESULT hr = m_owner.WriteAt(m_streamPosition, pv, cb);
    if (SUCCEEDED(hr)) {
        m_streamPosition += cb;
    }
    if (pcbWritten) {
        *pcbWritten = SUCCEEDED(hr) ? cb : 0;
    }
    return hr;
}

STDMETHODIMP FileWriterInputPin::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                                      ULARGE_INTEGER* plibNewPosition) noexcept {
    if (dwOrigin == STREAM_SEEK_SET) {
        m_streamPosition = static_cast<uint64_t>(dlibMove.QuadPart);
    } else if (dwOrigin == STREAM_SEEK_CUR) {
        m_streamPosition += static_cast<uint64_t>(dlibMove.QuadPart);
    } else {
        return STG_E_INVALIDFUNCTION;
    }
    if (plibNewPosition) {
        plibNewPosition->QuadPart = m_streamPosition;
    }
    return S_OK;
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
// leaves Stopped, and a file that cannot be opened fails Run (see OnPauseToRun). The input
// then takes the type named with it, a byte stream when none was.
STDMETHODIMP FileWriterFilter::SetFileName(LPCOLESTR pszFileName,
                                           const AM_MEDIA_TYPE* pmt) noexcept {
    if (!pszFileName) {
        return E_POINTER;
    }
    std::lock_guard lock(FilterLock());
    if (State() != State_Stopped) {
        return VFW_E_WRONG_STATE;
    }
    AM_MEDIA_TYPE byteStream{};
    byteStream.majortype = MEDIATYPE_Stream;
    kit::MediaType fileType;
    HRESULT hr = fileType.Set(pmt ? pmt : &byteStream);
    if (FAILED(hr)) {
        return hr;
    }
    try {
        m_fileName = pszFileName;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    m_fileType = fileType;
    return S_OK;
}

// Any type until a file is named, as the system's writer: a graph may connect it first.
bool FileWriterFilter::TakesType(const AM_MEDIA_TYPE& mt) noexcept {
    std::lock_guard lock(FilterLock());
    return kit::MatchesPartial(mt, m_fileType.get());
}

STDMETHODIMP FileWriterFilter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) noexcept {
    if (!ppszFileName) {
        return E_POINTER;
    }
    std::lock_guard lock(FilterLock());
    *ppszFileName = nullptr;
    if (pmt) {
        HRESULT hr = kit::CopyMediaType(pmt, m_fileType.get());
        if (FAILED(hr)) {
            return hr;
        }
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
    m_byteStream = IsEqualGUID(m_input.CurrentType().majortype, MEDIATYPE_Stream);
    m_appendAt = 0;
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
    if (m_stalled) {
        return;
    }
    const auto stall = TestSeams::StallAsked();
    if (!stall || GetTickCount64() - m_runTick < stall->afterMs) {
        return;
    }
    m_stalled = true;
    Sleep(stall->stallMs);
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
    // Only a byte stream's times are file offsets; the samples of another type follow each other.
    uint64_t position = m_appendAt;
    REFERENCE_TIME start = 0, stop = 0;
    if (m_byteStream) {
        if (FAILED(sample->GetTime(&start, &stop))) {
            return Fail(VFW_E_SAMPLE_TIME_NOT_SET);
        }
        position = static_cast<uint64_t>(start);
    }
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) {
        return Fail(hr);
    }
    const auto length = static_cast<DWORD>(sample->GetActualDataLength());
    hr = WriteFileAt(m_file.get(), position, data, length);
    if (FAILED(hr)) {
        return Fail(hr);
    }
    m_appendAt = position + length;
    return hr;
}

// The stream's writes: into the open file while the graph runs, and after it stopped into the
// file as it was left.
HRESULT FileWriterFilter::WriteAt(uint64_t position, const void* data, ULONG bytes) noexcept {
    std::lock_guard lock(m_fileLock);
    if (m_file) {
        HRESULT hr = WriteFileAt(m_file.get(), position, data, bytes);
        return SUCCEEDED(hr) ? hr : Fail(hr);
    }
    base::FileHandle file(CreateFileW(m_fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return WriteFileAt(file.get(), position, data, bytes);
}

HRESULT FileWriterFilter::WriteFileAt(HANDLE file, uint64_t position, const void* data,
                                      DWORD bytes) noexcept {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    DWORD written = 0;
    if (!WriteFile(file, data, bytes, &written, nullptr)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return written == bytes ? S_OK : HRESULT_FROM_WIN32(ERROR_DISK_FULL);
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
