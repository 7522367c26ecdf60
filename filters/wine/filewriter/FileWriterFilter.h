// A File Writer for Wine prefixes, registered as CLSID_FileWriter there: IFileSinkFilter2
// (which Wine 8.0's lacks), each sample of a byte stream written at the byte offset of its
// start time (those of any other type one after another), and every failure reported (an
// HRESULT and EC_ERRORABORT), never dropped.
// The tests can make it stall or offer IStream on its input pin (TestSeams).
#pragma once
#include <cstdint>
#include <mutex>
#include <string>

#include "base/UniqueHandle.h"
#include "filters/kit/Filter.h"
#include "filters/kit/InputPin.h"
#include "filters/kit/MediaType.h"

namespace filewriter {

class FileWriterFilter;

class FileWriterInputPin : public kit::InputPin, public IStream {
public:
    explicit FileWriterInputPin(FileWriterFilter& filter) noexcept;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return InputPin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return InputPin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return InputPin::Release(); }
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP EndOfStream() noexcept override;

    // IStream: writes at a position of its own; nothing else.
    STDMETHODIMP Write(const void* pv, ULONG cb, ULONG* pcbWritten) noexcept override;
    STDMETHODIMP Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                      ULARGE_INTEGER* plibNewPosition) noexcept override;
    STDMETHODIMP Read(void*, ULONG, ULONG*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetSize(ULARGE_INTEGER) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                        ULARGE_INTEGER*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Commit(DWORD) noexcept override { return S_OK; }
    STDMETHODIMP Revert() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Stat(STATSTG*, DWORD) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IStream**) noexcept override { return E_NOTIMPL; }

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnReceive(IMediaSample* sample) noexcept override;

private:
    FileWriterFilter& m_owner;
    uint64_t m_streamPosition = 0;
};

class FileWriterFilter : public kit::FilterBase,
                         public IFileSinkFilter2,
                         public IAMFilterMiscFlags {
public:
    FileWriterFilter() noexcept;
    ~FileWriterFilter() override;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {
        return QueryObject(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefObject(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseObject(); }

    // IFileSinkFilter
    STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) noexcept override;
    // IFileSinkFilter2
    STDMETHODIMP SetMode(DWORD dwFlags) noexcept override;
    STDMETHODIMP GetMode(DWORD* pdwFlags) noexcept override;
    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() noexcept override {
        return AM_FILTER_MISC_FLAGS_IS_RENDERER;
    }

    int PinCount() noexcept override { return 1; }
    kit::PinBase* GetPin(int index) noexcept override;

    bool TakesType(const AM_MEDIA_TYPE& mt) noexcept;
    HRESULT Write(IMediaSample* sample) noexcept;
    HRESULT WriteAt(uint64_t position, const void* data, ULONG bytes) noexcept;
    HRESULT InputEnded() noexcept;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnStopToPause() noexcept override;
    HRESULT OnPauseToRun(REFERENCE_TIME tStart) noexcept override;
    HRESULT OnPauseToStop() noexcept override;

private:
    HRESULT Fail(HRESULT hr) noexcept;
    void StallIfAsked() noexcept;
    static HRESULT WriteFileAt(HANDLE file, uint64_t position, const void* data,
                               DWORD bytes) noexcept;

    FileWriterInputPin m_input;
    std::mutex m_fileLock;
    std::wstring m_fileName;
    kit::MediaType m_fileType; // what the input takes: empty (any type) until a name is set
    DWORD m_mode = 0;
    base::FileHandle m_file;
    HRESULT m_error = S_OK;
    bool m_endOfStreamPending = false;
    bool m_byteStream = true;
    uint64_t m_appendAt = 0;
    ULONGLONG m_runTick = 0;
    bool m_stalled = false;
};

} // namespace filewriter
