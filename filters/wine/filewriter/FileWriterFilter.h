// A File Writer for Wine prefixes, registered as CLSID_FileWriter there: IFileSinkFilter2
// (which Wine 8.0's lacks), each sample written at the byte offset of its start time, and
// every failure reported (an HRESULT and EC_ERRORABORT), never dropped.
// For the tests of a stalled disk, CORVALE_FILEWRITER_STALL=AFTER_MS:STALL_MS in the
// environment makes the first write AFTER_MS after the graph runs take STALL_MS longer.
#pragma once
#include <mutex>
#include <string>

#include "base/UniqueHandle.h"
#include "filters/kit/Filter.h"
#include "filters/kit/InputPin.h"

namespace filewriter {

class FileWriterFilter;

class FileWriterInputPin : public kit::InputPin {
public:
    explicit FileWriterInputPin(FileWriterFilter& filter) noexcept;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* pmt) noexcept override;
    STDMETHODIMP EndOfStream() noexcept override;

protected:
    HRESULT OnReceive(IMediaSample* sample) noexcept override;

private:
    FileWriterFilter& m_owner;
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

    HRESULT Write(IMediaSample* sample) noexcept;
    HRESULT InputEnded() noexcept;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnStopToPause() noexcept override;
    HRESULT OnPauseToRun(REFERENCE_TIME tStart) noexcept override;
    HRESULT OnPauseToStop() noexcept override;

private:
    HRESULT Fail(HRESULT hr) noexcept;
    void StallIfAsked() noexcept;

    FileWriterInputPin m_input;
    std::mutex m_fileLock;
    std::wstring m_fileName;
    DWORD m_mode = 0;
    fw::FileHandle m_file;
    HRESULT m_error = S_OK;
    bool m_endOfStreamPending = false;
    ULONGLONG m_runTick = 0;
    bool m_stalled = false;
};

} // namespace filewriter
