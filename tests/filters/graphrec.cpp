// graphrec: builds the recorder's own graph ("Audio Capture" from the device moniker,
// "WAV Dest", "File Writer" in overwrite mode, Render of the capture pin) and records by a
// step pattern, printing one line per fact for the test scripts:
//   graphrec --device NAME --out PATH [--steps wait:2,run:3,pause:1,level:0.5,enable:0,run:2]
//            [--line N] [--level X] [--enable 0|1] [--list]
// Steps: run:S, pause:S and stop:S hold that state S seconds, wait:S waits S seconds in the
// state the graph is in; level:X, enable:0|1 act on the IAMAudioInputMixer of input line N
// (--line, changed by the step line:N); winmm:X sets the device's winmm volume directly. The
// graph stops at the end. --list binds every device and lists its input lines.
// Lines: DEVICE, LINE device: pin, CONNECTED a:pin -> b:pin, MIXLEVEL level hr, STATE name
// epoch_ms hr call_ms, EVENT code p1 p2 epoch_ms, RECORDED_MS n, LOST_MS silenced unwritten
// (what "WAV Dest" tells of the take), RESULT hr.
#include <windows.h>
#include <dshow.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "filters/wavdest/ILevelSource.h"
#include "filters/wavdest/WavDestClassId.h"

using base::ComPtr;
using base::Narrow;
using base::Widen;

namespace {

long long EpochMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
    return static_cast<long long>((u.QuadPart - 116444736000000000ULL) / 10000);
}

struct Options {
    std::wstring device;
    std::wstring out;
    std::string steps = "run:5";
    int line = 0;
    double level = -1;
    int enable = -1;
    bool list = false;
    int waveInId = -1; // of the device found, from its property bag
};

HRESULT NthPin(IBaseFilter* filter, PIN_DIRECTION dir, int n, ComPtr<IPin>& out) {
    ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.put());
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == dir && n-- == 0) {
            out = std::move(pin);
            return S_OK;
        }
    }
    return E_FAIL;
}

void PrintLines(IMoniker* moniker, const std::wstring& device) {
    ComPtr<IBaseFilter> filter;
    if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.put_void()))) {
        return;
    }
    ComPtr<IPin> pin;
    for (int n = 0; SUCCEEDED(NthPin(filter.get(), PINDIR_INPUT, n, pin)); ++n) {
        PIN_INFO info{};
        pin->QueryPinInfo(&info);
        if (info.pFilter) {
            info.pFilter->Release();
        }
        printf("LINE %s: %s\n", Narrow(device.c_str()).c_str(), Narrow(info.achName).c_str());
    }
}

HRESULT FindCaptureFilter(Options& opt, ComPtr<IBaseFilter>& filter) {
    ComPtr<ICreateDevEnum> devEnum;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICreateDevEnum, devEnum.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IEnumMoniker> monikers;
    hr = devEnum->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, monikers.put(), 0);
    if (hr != S_OK) {
        return E_FAIL;
    }
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void()))) {
            continue;
        }
        VARIANT name;
        VariantInit(&name);
        if (FAILED(bag->Read(L"FriendlyName", &name, nullptr))) {
            continue;
        }
        std::wstring friendly = name.bstrVal;
        VariantClear(&name);
        printf("DEVICE %s\n", Narrow(friendly.c_str()).c_str());
        if (opt.list) {
            PrintLines(moniker.get(), friendly);
        } else if (friendly == opt.device) {
            VARIANT id;
            VariantInit(&id);
            if (SUCCEEDED(bag->Read(L"WaveInID", &id, nullptr)) && id.vt == VT_I4) {
                opt.waveInId = id.lVal;
            }
            return moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.put_void());
        }
    }
    return opt.list ? S_OK : HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}

std::string PinLabel(IPin* pin) {
    PIN_INFO info{};
    pin->QueryPinInfo(&info);
    FILTER_INFO finfo{};
    if (info.pFilter) {
        info.pFilter->QueryFilterInfo(&finfo);
        if (finfo.pGraph) {
            finfo.pGraph->Release();
        }
        info.pFilter->Release();
    }
    return Narrow(finfo.achName) + ":" + Narrow(info.achName);
}

void PrintConnections(IGraphBuilder* graph) {
    ComPtr<IEnumFilters> filters;
    graph->EnumFilters(filters.put());
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.put(), nullptr) == S_OK) {
        ComPtr<IEnumPins> pins;
        filter->EnumPins(pins.put());
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.put(), nullptr) == S_OK) {
            PIN_DIRECTION d;
            pin->QueryDirection(&d);
            printf("PIN %s %s\n", PinLabel(pin.get()).c_str(), d == PINDIR_INPUT ? "in" : "out");
            ComPtr<IPin> peer;
            if (d == PINDIR_OUTPUT && SUCCEEDED(pin->ConnectedTo(peer.put()))) {
                printf("CONNECTED %s -> %s\n", PinLabel(pin.get()).c_str(),
                       PinLabel(peer.get()).c_str());
            }
        }
    }
}

void PumpEvents(IMediaEventEx* events, DWORD ms) {
    ULONGLONG end = GetTickCount64() + ms;
    do {
        long code;
        LONG_PTR p1, p2;
        while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            printf("EVENT %ld 0x%llx %lld %lld\n", code, static_cast<unsigned long long>(p1),
                   static_cast<long long>(p2), EpochMs());
            events->FreeEventParams(code, p1, p2);
        }
        Sleep(20);
    } while (GetTickCount64() < end);
}

HRESULT SetMixer(IBaseFilter* capture, int line, double level, int enable) {
    ComPtr<IPin> pin;
    HRESULT hr = NthPin(capture, PINDIR_INPUT, line, pin);
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IAMAudioInputMixer> mixer;
    hr = pin->QueryInterface(IID_IAMAudioInputMixer, mixer.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    if (enable >= 0) {
        hr = mixer->put_Enable(enable ? TRUE : FALSE);
    }
    if (SUCCEEDED(hr) && level >= 0) {
        hr = mixer->put_MixLevel(level);
    }
    double got = -1;
    mixer->get_MixLevel(&got);
    printf("MIXLEVEL %.4f hr=0x%08lx\n", got, static_cast<unsigned long>(hr));
    return hr;
}

// Sets the volume of the device's first wave-in source line through winmm directly, behind
// the capture filter's back: shows whether Wine's mixer acts on the captured signal at all.
void SetWinmmVolume(int waveInId, double level) {
    HMIXER mixer = nullptr;
    if (waveInId < 0 ||
        mixerOpen(&mixer, waveInId, 0, 0, MIXER_OBJECTF_WAVEIN) != MMSYSERR_NOERROR) {
        printf("WINMM no mixer\n");
        return;
    }
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwDestination = 0;
    MMRESULT rc = mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                                    MIXER_GETLINEINFOF_DESTINATION);
    printf("WINMM destination '%s' type 0x%lx sources %lu rc=%u\n", Narrow(line.szName).c_str(),
           line.dwComponentType, line.cConnections, rc);
    MIXERLINEW source{};
    source.cbStruct = sizeof(source);
    source.dwDestination = line.dwDestination;
    source.dwSource = 0;
    if (rc == MMSYSERR_NOERROR) {
        rc = mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &source,
                               MIXER_GETLINEINFOF_SOURCE);
    }
    MIXERCONTROLW control{};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = source.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (rc == MMSYSERR_NOERROR) {
        rc = mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                                   MIXER_GETLINECONTROLSF_ONEBYTYPE);
    }
    MIXERCONTROLDETAILS_UNSIGNED value{static_cast<DWORD>(
        control.Bounds.dwMinimum + level * (control.Bounds.dwMaximum - control.Bounds.dwMinimum))};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    if (rc == MMSYSERR_NOERROR) {
        rc = mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                    MIXER_SETCONTROLDETAILSF_VALUE);
    }
    MIXERCONTROLDETAILS_UNSIGNED back[2] = {};
    details.cChannels = 1;
    details.paDetails = back;
    MMRESULT getRc = mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                             MIXER_GETCONTROLDETAILSF_VALUE);
    printf("WINMM line '%s' channels %lu volume %lu rc=%u read back %lu %lu rc=%u\n",
           Narrow(source.szName).c_str(), source.cChannels, value.dwValue, rc, back[0].dwValue,
           back[1].dwValue, getRc);
    mixerClose(mixer);
}

HRESULT CreateAndAdd(IGraphBuilder* graph, const CLSID& clsid, const wchar_t* name,
                     ComPtr<IBaseFilter>& filter) {
    HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.put_void());
    return SUCCEEDED(hr) ? graph->AddFilter(filter.get(), name) : hr;
}

// The writer in overwrite mode, as the recorder sets it, writing to `path`.
HRESULT SetUpWriter(IBaseFilter* writer, const std::wstring& path) {
    ComPtr<IFileSinkFilter2> sink;
    HRESULT hr = writer->QueryInterface(IID_IFileSinkFilter2, sink.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    hr = sink->SetMode(AM_FILE_OVERWRITE);
    DWORD mode = 0;
    if (SUCCEEDED(hr)) {
        hr = sink->GetMode(&mode);
    }
    printf("FILEMODE %lu\n", mode);
    return SUCCEEDED(hr) ? sink->SetFileName(path.c_str(), nullptr) : hr;
}

// The recorder's graph: "Audio Capture" of the device, "WAV Dest", "File Writer", and the
// capture pin rendered through them.
HRESULT BuildGraph(Options& opt, IGraphBuilder* graph, ComPtr<IBaseFilter>& capture) {
    HRESULT hr = FindCaptureFilter(opt, capture);
    if (FAILED(hr) || opt.list) {
        return hr;
    }
    hr = graph->AddFilter(capture.get(), L"Audio Capture");
    if (FAILED(hr)) {
        return hr;
    }
    if (opt.level >= 0 || opt.enable >= 0) {
        SetMixer(capture.get(), opt.line, opt.level, opt.enable);
    }
    ComPtr<IBaseFilter> wavDest, writer;
    hr = CreateAndAdd(graph, CLSID_WavDest, L"WAV Dest", wavDest);
    if (SUCCEEDED(hr)) {
        hr = CreateAndAdd(graph, CLSID_FileWriter, L"File Writer", writer);
    }
    if (SUCCEEDED(hr)) {
        hr = SetUpWriter(writer.get(), opt.out);
    }
    ComPtr<IPin> out;
    if (SUCCEEDED(hr)) {
        hr = NthPin(capture.get(), PINDIR_OUTPUT, 0, out);
    }
    if (FAILED(hr)) {
        return hr;
    }
    hr = graph->Render(out.get());
    printf("RENDER hr=0x%08lx\n", static_cast<unsigned long>(hr));
    PrintConnections(graph);
    return hr;
}

// Runs the steps on the built graph and counts the time recorded: from just before each Run
// call to just before the next state change.
class StepRunner {
public:
    StepRunner(Options& opt, IBaseFilter* capture, IMediaControl* control, IMediaEventEx* events)
        : m_opt(opt), m_capture(capture), m_control(control), m_events(events) {}

    HRESULT Run() {
        HRESULT result = S_OK;
        for (size_t pos = 0; pos < m_opt.steps.size();) {
            size_t comma = m_opt.steps.find(',', pos);
            std::string step = m_opt.steps.substr(
                pos, comma == std::string::npos ? std::string::npos : comma - pos);
            pos = comma == std::string::npos ? m_opt.steps.size() : comma + 1;
            HRESULT hr = Step(step);
            if (hr == E_INVALIDARG) {
                result = hr;
                break;
            }
            if (FAILED(hr)) {
                result = hr;
            }
        }
        HRESULT hr = Change("stop");
        PumpEvents(m_events, 100);
        printf("RECORDED_MS %lld\n", m_recordedMs);
        return FAILED(result) ? result : hr;
    }

private:
    HRESULT Step(const std::string& step) {
        size_t colon = step.find(':');
        std::string verb = step.substr(0, colon);
        double arg = colon == std::string::npos ? 0 : atof(step.c_str() + colon + 1);
        if (verb == "winmm") {
            SetWinmmVolume(m_opt.waveInId, arg);
        } else if (verb == "line") {
            m_opt.line = static_cast<int>(arg);
        } else if (verb == "level" || verb == "enable") {
            SetMixer(m_capture, m_opt.line, verb == "level" ? arg : -1,
                     verb == "enable" ? static_cast<int>(arg) : -1);
        } else if (verb == "wait") {
            PumpEvents(m_events, static_cast<DWORD>(arg * 1000));
        } else if (verb == "run" || verb == "pause" || verb == "stop") {
            HRESULT hr = Change(verb);
            PumpEvents(m_events, static_cast<DWORD>(arg * 1000));
            return hr;
        } else {
            fprintf(stderr, "unknown step %s\n", step.c_str());
            return E_INVALIDARG;
        }
        return S_OK;
    }

    HRESULT Change(const std::string& verb) {
        long long now = EpochMs();
        if (m_runningSince >= 0 && verb != "run") {
            m_recordedMs += now - m_runningSince;
            m_runningSince = -1;
        }
        HRESULT h = verb == "run"     ? m_control->Run()
                    : verb == "pause" ? m_control->Pause()
                                      : m_control->Stop();
        if (verb == "run" && m_runningSince < 0 && SUCCEEDED(h)) {
            m_runningSince = now;
        }
        printf("STATE %s %lld 0x%08lx %lld\n", verb.c_str(), now, static_cast<unsigned long>(h),
               EpochMs() - now);
        return h;
    }

    Options& m_opt;
    IBaseFilter* m_capture;
    IMediaControl* m_control;
    IMediaEventEx* m_events;
    long long m_recordedMs = 0;
    long long m_runningSince = -1;
};

HRESULT Record(Options& opt) {
    ComPtr<IGraphBuilder> graph;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, graph.put_void());
    ComPtr<IBaseFilter> capture;
    if (SUCCEEDED(hr)) {
        hr = BuildGraph(opt, graph.get(), capture);
    }
    if (FAILED(hr) || opt.list) {
        return hr;
    }
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    hr = graph.As(control);
    if (SUCCEEDED(hr)) {
        hr = graph->QueryInterface(IID_IMediaEventEx, events.put_void());
    }
    if (FAILED(hr)) {
        return hr;
    }
    hr = StepRunner(opt, capture.get(), control.get(), events.get()).Run();
    ComPtr<IBaseFilter> wavDest;
    ComPtr<ILevelSource> levels;
    LevelReading reading{};
    if (SUCCEEDED(graph->FindFilterByName(L"WAV Dest", wavDest.put())) &&
        SUCCEEDED(wavDest->QueryInterface(IID_ILevelSource, levels.put_void())) &&
        SUCCEEDED(levels->GetLevels(&reading))) {
        printf("LOST_MS %u %u\n", reading.silencedMs, reading.unwrittenMs);
    }
    return hr;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    Options opt;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--device") {
            opt.device = Widen(next), ++i;
        } else if (a == "--out") {
            opt.out = Widen(next), ++i;
        } else if (a == "--steps") {
            opt.steps = next, ++i;
        } else if (a == "--line") {
            opt.line = atoi(next), ++i;
        } else if (a == "--level") {
            opt.level = atof(next), ++i;
        } else if (a == "--enable") {
            opt.enable = atoi(next), ++i;
        } else if (a == "--list") {
            opt.list = true;
        } else {
            fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    base::ComApartment com;
    com.Enter();
    HRESULT hr = Record(opt);
    printf("RESULT 0x%08lx\n", static_cast<unsigned long>(hr));
    return SUCCEEDED(hr) ? 0 : 1;
}
