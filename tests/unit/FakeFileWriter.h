#pragma once
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeFilterBase.h"

#include <string>

// Stands in for the file writer: a filter with a file sink that keeps the name and mode it was
// given.
class FakeFileWriter : public FakeFilterBase<IFileSinkFilter2> {
public:
    explicit FakeFileWriter(CallLog& log) : m_log(log) {
        Expose(IID_IFileSinkFilter2, static_cast<IFileSinkFilter2*>(this));
        Expose(IID_IFileSinkFilter, static_cast<IFileSinkFilter2*>(this));
    }

    std::wstring fileName;
    DWORD mode = 0;
    HRESULT fileNameResult = S_OK;

    STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) noexcept override {
        m_log.Add("writer.SetFileName");
        fileName = name;
        return fileNameResult;
    }
    STDMETHODIMP GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetMode(DWORD flags) noexcept override {
        m_log.Add("writer.SetMode");
        mode = flags;
        return S_OK;
    }
    STDMETHODIMP GetMode(DWORD* flags) noexcept override {
        *flags = mode;
        return S_OK;
    }

private:
    CallLog& m_log;
};
