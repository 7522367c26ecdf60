#include "app/RecorderDialog.h"
#include "base/AnsiText.h"
#include "base/FindPin.h"
#include "devices/InputKeywords.h"

#include <commctrl.h>

HRESULT RecorderDialog::FillInputList(IBaseFilter* filter, PIN_DIRECTION direction,
                                      fw::ComboBox& list) {
    list.ResetContent();
    if (!filter) {
        return E_NOINTERFACE;
    }
    base::ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.put());
    if (FAILED(hr)) {
        list.AddString("<ERROR>");
        return hr;
    }
    pins->Reset();
    int inputs = 0;
    base::ComPtr<IPin> pin;
    while ((hr = pins->Next(1, pin.put(), nullptr)) == S_OK) {
        PIN_DIRECTION found;
        if (FAILED(pin->QueryDirection(&found))) {
            list.AddString("<ERROR>");
            continue;
        }
        PIN_INFO info{};
        if (found != direction || FAILED(pin->QueryPinInfo(&info))) {
            continue;
        }
        std::string name = base::Narrow(info.achName);
        list.AddString(name);
        if (nSearchFlag == 0 && IsLoopbackInputName(name)) {
            nCapturePinIndex = inputs;
            nSearchFlag = 1;
        }
        ++inputs;
        if (info.pFilter) {
            info.pFilter->Release();
        }
    }
    nSearchFlag = 1;
    return hr;
}

void RecorderDialog::OnSelChangeInput() {
    if (m_bOnlyOnce == 0) {
        int dontShowAgain = 1;
        if (m_desktop.RunInputHelp(dontShowAgain) == IDOK) {
            m_bOnlyOnce = dontShowAgain;
        }
    }
    OnStop();
    ApplyInputSelection();
}

HRESULT RecorderDialog::ApplyInputSelection() {
    return SetInputMixers(nullptr);
}

HRESULT RecorderDialog::SetInputMixers(const double* level) {
    const int count = m_cbInput.GetCount();
    const int selected = m_cbInput.GetCurSel();
    nCapturePinIndex = selected;
    HRESULT hr = S_OK;
    for (int i = 0; i < count; ++i) {
        base::ComPtr<IPin> pin;
        if (FAILED(FindPin(m_pCaptureFilter.get(), PINDIR_INPUT, i, pin.put()))) {
            continue;
        }
        base::ComPtr<IAMAudioInputMixer> mixer;
        if (FAILED(pin->QueryInterface(IID_IAMAudioInputMixer, mixer.put_void()))) {
            continue;
        }
        if (i != selected) {
            hr = mixer->put_Enable(FALSE);
            continue;
        }
        if (level) {
            mixer->put_MixLevel(*level);
        } else {
            ShowInputLevel(mixer.get());
        }
        hr = mixer->put_Enable(TRUE);
    }
    return hr;
}

int RecorderDialog::ShowInputLevel(IAMAudioInputMixer* mixer) {
    double level = 0.0;
    mixer->get_MixLevel(&level);
    m_sliderVolume.SetPos(static_cast<int>(level * kLevelSteps), true);
    return 0;
}

LRESULT RecorderDialog::OnReleasedCaptureLevel(NMHDR*) {
    ++m_levelReleases;
    ApplyRecordingLevel(m_sliderVolume.GetPos() * kLevelPerStep);
    return 0;
}

// Every move of the slider ends with TB_ENDTRACK; one by the mouse then also releases the
// capture (NM_RELEASEDCAPTURE), which applies the level. So the end of a move is looked at once
// the messages of the same input are done, and applies the level only if no release came.
void RecorderDialog::OnScrollLevel(UINT code, HWND control) {
    if (code == TB_ENDTRACK && control == m_sliderVolume.hwnd()) {
        m_levelReleasesAtEnd = m_levelReleases;
        PostMessageA(hwnd(), WM_LEVELMOVEENDED, 0, 0);
    }
}

void RecorderDialog::OnLevelMoveEnded() {
    if (m_levelReleases == m_levelReleasesAtEnd) {
        ApplyRecordingLevel(m_sliderVolume.GetPos() * kLevelPerStep);
    }
}

HRESULT RecorderDialog::ApplyRecordingLevel(double level) {
    return SetInputMixers(&level);
}
