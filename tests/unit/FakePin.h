#pragma once
#include "filters/kit/AudioInputMixerBase.h"
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeComObject.h"

#include <dshow.h>
#include <string>

// A pin of a fake capture filter. Input pins may carry the audio input mixer of their line,
// whose level and enabled state the tests read back; the mixer's calls go to the log.
class FakePin : public FakeComObject<IPin, kit::AudioInputMixerBase> {
public:
    FakePin(CallLog& log, IBaseFilter* owner, std::string name, PIN_DIRECTION direction,
            bool hasMixer, double level);

    const std::string& name() const { return m_name; }
    // A failure here makes QueryDirection fail without writing a direction.
    HRESULT directionResult = S_OK;
    HRESULT levelResult = S_OK;
    double level;
    bool enabled = false;

    // IPin
    STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Disconnect() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP ConnectedTo(IPin**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) noexcept override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) noexcept override;
    STDMETHODIMP QueryId(LPWSTR*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP EndOfStream() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP BeginFlush() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP EndFlush() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) noexcept override {
        return E_NOTIMPL;
    }

    // IAMAudioInputMixer
    STDMETHODIMP put_Enable(WINBOOL enable) noexcept override;
    STDMETHODIMP get_Enable(WINBOOL* enable) noexcept override;
    STDMETHODIMP put_MixLevel(double value) noexcept override;
    STDMETHODIMP get_MixLevel(double* value) noexcept override;

private:
    CallLog& m_log;
    // Not counted: the filter owns its pins.
    IBaseFilter* m_owner;
    std::string m_name;
    PIN_DIRECTION m_direction;
};
