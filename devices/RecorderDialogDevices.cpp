#include "app/RecorderDialog.h"
#include "base/AnsiText.h"
#include "base/StartupMark.h"

namespace {
const char kNoHardwareText[] =
    "There were no audio capture devices detected on this system.\r\n\r\n"
    "If your system has an audio capture device (sound card, video camera, etc.),\r\n"
    "then make sure that it is working properly and that you are not running\r\n"
    "this program through a Windows XP Remote Desktop connection.\r\n\r\n"
    "This program will now exit.";
}

HRESULT RecorderDialog::ListCaptureDevices() {
    StartupMark("graph created");
    base::ComPtr<ICreateDevEnum> devices;
    HRESULT hr = m_graphServices.CreateInstance(CLSID_SystemDeviceEnum, IID_ICreateDevEnum,
                                                devices.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    base::ComPtr<IEnumMoniker> monikers;
    hr = devices->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, monikers.put(), 0);
    if (FAILED(hr)) {
        return hr;
    }
    hr = FillDeviceList(monikers.get(), m_cbSoundCard);
    monikers.reset();
    devices.reset();
    if (FAILED(hr)) {
        return hr;
    }
    if (hr == 1) {
        ShowMessage(kNoHardwareText, "No audio capture hardware!", MB_OK | MB_ICONERROR);
        return E_FAIL;
    }
    m_cbSoundCard.SetCurSel(nSoundCaptureIndex);
    StartupMark("devices listed");
    OnSelChangeDevice();
    return hr;
}

HRESULT RecorderDialog::FillDeviceList(IEnumMoniker* monikers, fw::ComboBox& list) {
    if (!monikers) {
        list.AddString("<< No entries >>");
        return 1;
    }
    HRESULT hr = S_OK;
    int count = 0;
    base::ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.put(), nullptr) == S_OK) {
        base::ComPtr<IPropertyBag> bag;
        hr = moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void());
        if (FAILED(hr)) {
            continue;
        }
        VARIANT name;
        VariantInit(&name);
        name.vt = VT_BSTR;
        hr = bag->Read(L"FriendlyName", &name, nullptr);
        if (FAILED(hr)) {
            continue;
        }
        std::string text =
            name.vt == VT_BSTR && name.bstrVal ? base::Narrow(name.bstrVal) : std::string();
        VariantClear(&name);
        ++count;
        int index = list.AddString(text);
        // The list owns the moniker's reference from here on.
        list.SetItemData(index, reinterpret_cast<LPARAM>(moniker.detach()));
    }
    nDeviceCount = count;
    if (count <= 1) {
        list.Show(SW_HIDE);
    }
    if (nSoundCaptureIndex >= nDeviceCount) {
        nSoundCaptureIndex = 0;
    }
    return hr;
}

void RecorderDialog::OnSelChangeDevice() {
    if (m_pCaptureFilter) {
        m_cbInput.ResetContent();
        ReleaseCaptureGraph();
        CreateCaptureGraph();
    }
    nSoundCaptureIndex = m_cbSoundCard.GetCurSel();
    auto* moniker = reinterpret_cast<IMoniker*>(m_cbSoundCard.GetItemData(nSoundCaptureIndex));
    if (!moniker || nSoundCaptureIndex < 0) {
        return;
    }
    if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                     m_pCaptureFilter.put_void()))) {
        return;
    }
    if (!m_pGB || FAILED(m_pGB->AddFilter(m_pCaptureFilter.get(), L"Audio Capture"))) {
        return;
    }
    if (FAILED(FillInputList(m_pCaptureFilter.get(), PINDIR_INPUT, m_cbInput))) {
        return;
    }
    m_cbInput.SetCurSel(nCapturePinIndex);
    StartupMark("input lines listed");
    OnSelChangeInput();
    StartupMark("input line selected");
}
