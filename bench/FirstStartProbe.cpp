// first_start: where the first start of a capture device goes under Wine. It opens a device
// through waveIn or WASAPI (shared mode, event driven), starts it, and prints the milliseconds
// from the process's start of each step, when the first data and the first sound (a sample
// above -60 dBFS) arrive, and after SECONDS how many frames arrived against the wall time and
// how many of them were silence before the sound began. A tone must play into the device.
//   first_start --device NAME --api wavein|wasapi|loopback [--seconds S] [--starts N]
//               [--idle-ms D] [--open-wait-ms W] [--packets]
//   first_start --list
// --api loopback captures what a render endpoint plays (NAME "default": the default one).
// --list prints the waveIn devices with their endpoint ids, the waveOut devices, the endpoints
// of both directions with their form factors and properties, and the default ones, read as the
// capture stand-in reads them. tone_hz is
// the frequency of the tone recorded, counted by its zero crossings.
// With --starts N the device is stopped and started again N-1 times, D ms apart; the first
// start comes W ms after the open. --packets prints each WASAPI packet's arrival, device
// position, how old its time stamp is (Wine stamps a packet when it is fetched) and its peak.
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "base/UniqueHandle.h"
#include "filters/wine/audiocapture/SoundEndpoints.h"

namespace {

using audiocapture::AudioEndpoint;
using audiocapture::EndpointCatalog;
using audiocapture::SoundEndpoints;

LARGE_INTEGER g_frequency;
LARGE_INTEGER g_origin;

double NowMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - g_origin.QuadPart) * 1000.0 /
           static_cast<double>(g_frequency.QuadPart);
}

struct Options {
    std::wstring device;
    std::string api = "wavein";
    double seconds = 3;
    int starts = 1;
    int idleMs = 1000;
    int openWaitMs = 0;
    bool packets = false;
    bool list = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--packets" || arg == "--list") {
            (arg == "--list" ? options.list : options.packets) = true;
            --i;
        } else if (i + 1 == argc) {
            return false;
        } else if (arg == "--device") {
            options.device = base::Widen(argv[i + 1]);
        } else if (arg == "--api") {
            options.api = argv[i + 1];
        } else if (arg == "--seconds") {
            options.seconds = std::atof(argv[i + 1]);
        } else if (arg == "--starts") {
            options.starts = std::atoi(argv[i + 1]);
        } else if (arg == "--open-wait-ms") {
            options.openWaitMs = std::atoi(argv[i + 1]);
        } else if (arg == "--idle-ms") {
            options.idleMs = std::atoi(argv[i + 1]);
        } else {
            return false;
        }
    }
    return options.list || !options.device.empty();
}

// Counts what one start delivers: frames, the first data, the first sound.
class Tally {
public:
    explicit Tally(double startMs) : m_startMs(startMs) {}
    void Add(const int16_t* samples, size_t frames) {
        if (frames > 0 && m_firstDataMs < 0) {
            m_firstDataMs = NowMs() - m_startMs;
        }
        for (size_t i = 0; i < frames; ++i) {
            bool positive = samples[2 * i] > 0;
            m_crossings += positive != m_positive ? 1 : 0;
            m_positive = positive;
        }
        for (size_t i = 0; i < frames && m_firstSoundMs < 0; ++i) {
            if (std::abs(samples[2 * i]) > 32) {
                m_firstSoundMs = NowMs() - m_startMs;
                m_silentLead = m_frames + i;
            }
        }
        m_frames += frames;
    }
    void Print(int start, double wallMs) const {
        // Half the sign changes per second: the frequency of a pure tone.
        printf("START %d first_data_ms %.1f first_sound_ms %.1f silent_lead_ms %.1f kept_ms %.1f "
               "wall_ms %.1f tone_hz %.0f\n",
               start, m_firstDataMs, m_firstSoundMs, m_silentLead / 44.1, m_frames / 44.1, wallMs,
               m_frames ? m_crossings * 44100.0 / 2 / static_cast<double>(m_frames) : 0.0);
    }

private:
    double m_startMs;
    double m_firstDataMs = -1;
    double m_firstSoundMs = -1;
    size_t m_frames = 0;
    size_t m_silentLead = 0;
    size_t m_crossings = 0;
    bool m_positive = false;
};

WAVEFORMATEX Format() {
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = 44100;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = 44100 * 4;
    return wfx;
}

int WaveInId(const std::wstring& name) {
    const std::wstring wanted = name.substr(0, MAXPNAMELEN - 1);
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            wanted == caps.szPname) {
            return static_cast<int>(id);
        }
    }
    return -1;
}

int RunWaveIn(const Options& options) {
    int id = WaveInId(options.device);
    if (id < 0) {
        printf("no waveIn device\n");
        return 1;
    }
    WAVEFORMATEX wfx = Format();
    base::KernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    HWAVEIN wave = nullptr;
    printf("OPEN_BEGIN %.1f\n", NowMs());
    if (waveInOpen(&wave, id, &wfx, reinterpret_cast<DWORD_PTR>(event.get()), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        printf("waveInOpen failed\n");
        return 1;
    }
    printf("OPEN_END %.1f\n", NowMs());
    std::vector<std::vector<char>> memory(8, std::vector<char>(17640));
    std::vector<WAVEHDR> headers(8);
    for (size_t i = 0; i < headers.size(); ++i) {
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = 17640;
        waveInPrepareHeader(wave, &headers[i], sizeof(WAVEHDR));
        waveInAddBuffer(wave, &headers[i], sizeof(WAVEHDR));
    }
    size_t next = 0;
    for (int start = 0; start < options.starts; ++start) {
        Sleep(static_cast<DWORD>(start > 0 ? options.idleMs : options.openWaitMs));
        double startMs = NowMs();
        waveInStart(wave);
        printf("STARTED %.1f (call %.1f ms)\n", startMs, NowMs() - startMs);
        Tally tally(startMs);
        auto collect = [&] {
            while (headers[next].dwFlags & WHDR_DONE) {
                WAVEHDR& h = headers[next];
                tally.Add(reinterpret_cast<const int16_t*>(h.lpData), h.dwBytesRecorded / 4);
                h.dwFlags &= ~WHDR_DONE;
                h.dwBytesRecorded = 0;
                waveInAddBuffer(wave, &h, sizeof(WAVEHDR));
                next = (next + 1) % headers.size();
            }
        };
        while (NowMs() - startMs < options.seconds * 1000) {
            WaitForSingleObject(event.get(), 20);
            collect();
        }
        double wallMs = NowMs() - startMs;
        MMTIME time{};
        time.wType = TIME_BYTES;
        waveInGetPosition(wave, &time, sizeof time);
        printf("POSITION_MS %.1f\n", time.u.cb / 176.4);
        waveInStop(wave);
        Sleep(50);
        collect();
        tally.Print(start, wallMs);
    }
    waveInReset(wave);
    waveInClose(wave);
    return 0;
}

base::ComPtr<IMMDeviceEnumerator> CreateEnumerator() {
    base::ComPtr<IMMDeviceEnumerator> enumerator;
    CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                     __uuidof(IMMDeviceEnumerator), enumerator.put_void());
    return enumerator;
}

const std::vector<AudioEndpoint>& EndpointsOf(const EndpointCatalog& catalog, EDataFlow flow) {
    return flow == eRender ? catalog.outputs() : catalog.inputs();
}

// The endpoint of `flow` called `name`, or the default one for "default".
base::ComPtr<IMMDevice> FindEndpoint(IMMDeviceEnumerator* enumerator, const std::wstring& name,
                                     EDataFlow flow) {
    base::ComPtr<IMMDevice> found;
    if (name == L"default") {
        enumerator->GetDefaultAudioEndpoint(flow, eConsole, found.put());
        return found;
    }
    const EndpointCatalog catalog = SoundEndpoints::Read();
    for (const AudioEndpoint& endpoint : EndpointsOf(catalog, flow)) {
        if (endpoint.name == name) {
            enumerator->GetDevice(endpoint.id.c_str(), found.put());
            break;
        }
    }
    return found;
}

std::string Printable(const std::wstring& text) {
    return text.empty() ? "-" : base::Narrow(text);
}

// Every property of the endpoint, the strings and numbers with their values.
void PrintProperties(IMMDeviceEnumerator* enumerator, const std::wstring& id) {
    base::ComPtr<IMMDevice> device;
    base::ComPtr<IPropertyStore> store;
    if (FAILED(enumerator->GetDevice(id.c_str(), device.put())) ||
        FAILED(device->OpenPropertyStore(STGM_READ, store.put()))) {
        return;
    }
    DWORD count = 0;
    store->GetCount(&count);
    for (DWORD k = 0; k < count; ++k) {
        PROPERTYKEY key;
        store->GetAt(k, &key);
        PROPVARIANT v;
        PropVariantInit(&v);
        store->GetValue(key, &v);
        WCHAR guid[64];
        StringFromGUID2(key.fmtid, guid, 64);
        std::string value = v.vt == VT_LPWSTR ? base::Narrow(v.pwszVal)
                            : v.vt == VT_UI4  ? std::to_string(v.ulVal)
                                              : "";
        printf("   PROP %s,%lu vt %u %s\n", base::Narrow(guid).c_str(), key.pid, v.vt,
               value.c_str());
        PropVariantClear(&v);
    }
}

void ListEndpoints(IMMDeviceEnumerator* enumerator, const EndpointCatalog& catalog, EDataFlow flow,
                   const char* label) {
    const std::vector<AudioEndpoint>& endpoints = EndpointsOf(catalog, flow);
    for (size_t i = 0; i < endpoints.size(); ++i) {
        const AudioEndpoint& endpoint = endpoints[i];
        printf("%s %zu '%s' form %u id %s\n", label, i, base::Narrow(endpoint.name).c_str(),
               endpoint.formFactor, Printable(endpoint.id).c_str());
        PrintProperties(enumerator, endpoint.id);
    }
    for (ERole role : {eConsole, eMultimedia, eCommunications}) {
        base::ComPtr<IMMDevice> device;
        enumerator->GetDefaultAudioEndpoint(flow, role, device.put());
        const std::wstring id = SoundEndpoints::IdOf(device.get());
        auto same = [&](const AudioEndpoint& endpoint) { return endpoint.id == id; };
        auto named = std::find_if(endpoints.begin(), endpoints.end(), same);
        printf("%s_DEFAULT role %d '%s' id %s\n", label, static_cast<int>(role),
               named != endpoints.end() ? base::Narrow(named->name).c_str() : "-",
               Printable(id).c_str());
    }
}

// What ties a waveIn device to an endpoint: the endpoint id winmm gives for it.
int ListTopology() {
    base::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    double begin = NowMs();
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        WAVEINCAPSW caps{};
        waveInGetDevCapsW(id, &caps, sizeof caps);
        printf("WAVEIN %u '%s' endpoint %s\n", id, base::Narrow(caps.szPname).c_str(),
               Printable(SoundEndpoints::EndpointOfWaveIn(id)).c_str());
    }
    for (UINT id = 0; id < waveOutGetNumDevs(); ++id) {
        WAVEOUTCAPSW caps{};
        waveOutGetDevCapsW(id, &caps, sizeof caps);
        printf("WAVEOUT %u '%s'\n", id, base::Narrow(caps.szPname).c_str());
    }
    base::ComPtr<IMMDeviceEnumerator> enumerator = CreateEnumerator();
    if (!enumerator) {
        printf("no MMDeviceEnumerator\n");
        return 1;
    }
    const EndpointCatalog catalog = SoundEndpoints::Read();
    ListEndpoints(enumerator.get(), catalog, eCapture, "CAPTURE");
    ListEndpoints(enumerator.get(), catalog, eRender, "RENDER");
    printf("LIST_MS %.1f\n", NowMs() - begin);
    return 0;
}

int RunWasapi(const Options& options) {
    base::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    printf("ENUM_BEGIN %.1f\n", NowMs());
    const bool loopback = options.api == "loopback";
    base::ComPtr<IMMDeviceEnumerator> enumerator = CreateEnumerator();
    base::ComPtr<IMMDevice> device;
    if (enumerator) {
        device = FindEndpoint(enumerator.get(), options.device, loopback ? eRender : eCapture);
    }
    if (!device) {
        printf("no endpoint\n");
        return 1;
    }
    printf("ENUM_END %.1f\n", NowMs());
    base::ComPtr<IAudioClient> client;
    device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client.put_void());
    printf("ACTIVATED %.1f\n", NowMs());
    if (!client) {
        printf("no audio client\n");
        return 1;
    }
    WAVEFORMATEX wfx = Format();
    // Loopback streams are polled: event callbacks with loopback are not to be relied on.
    HRESULT hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                    loopback ? AUDCLNT_STREAMFLAGS_LOOPBACK
                                             : AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                    1000000, 0, &wfx, nullptr);
    printf("INITIALIZED %.1f hr 0x%08lx\n", NowMs(), static_cast<unsigned long>(hr));
    if (FAILED(hr)) {
        return 1;
    }
    base::KernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!loopback) {
        client->SetEventHandle(event.get());
    }
    base::ComPtr<IAudioCaptureClient> capture;
    hr = client->GetService(__uuidof(IAudioCaptureClient), capture.put_void());
    if (FAILED(hr)) {
        printf("no capture client: hr 0x%08lx\n", static_cast<unsigned long>(hr));
        return 1;
    }
    for (int start = 0; start < options.starts; ++start) {
        Sleep(static_cast<DWORD>(start > 0 ? options.idleMs : options.openWaitMs));
        double startMs = NowMs();
        client->Start();
        printf("STARTED %.1f (call %.1f ms)\n", startMs, NowMs() - startMs);
        Tally tally(startMs);
        bool first = true;
        auto collect = [&] {
            BYTE* data = nullptr;
            UINT32 frames = 0;
            DWORD flags = 0;
            UINT64 position = 0;
            UINT64 qpc = 0;
            while (capture->GetBuffer(&data, &frames, &flags, &position, &qpc) == S_OK) {
                if (first) {
                    printf("FIRST_PACKET %.1f ms after start: position %llu flags 0x%lx\n",
                           NowMs() - startMs, static_cast<unsigned long long>(position),
                           static_cast<unsigned long>(flags));
                    first = false;
                }
                if (options.packets) {
                    LARGE_INTEGER now;
                    QueryPerformanceCounter(&now);
                    double nowHns = static_cast<double>(now.QuadPart) * 1e7 /
                                    static_cast<double>(g_frequency.QuadPart);
                    int peak = 0;
                    for (UINT32 f = 0; f < frames; ++f) {
                        peak = std::max(peak, std::abs(reinterpret_cast<int16_t*>(data)[2 * f]));
                    }
                    printf("PACKET t %.1f frames %u pos %llu age_ms %.1f peak %d\n",
                           NowMs() - startMs, frames, static_cast<unsigned long long>(position),
                           (nowHns - static_cast<double>(qpc)) / 1e4, peak);
                }
                if (flags & AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY) {
                    printf("DISCONTINUITY at %.1f ms\n", NowMs() - startMs);
                }
                tally.Add(reinterpret_cast<const int16_t*>(data), frames);
                capture->ReleaseBuffer(frames);
            }
        };
        while (NowMs() - startMs < options.seconds * 1000) {
            WaitForSingleObject(event.get(), 20);
            collect();
        }
        double wallMs = NowMs() - startMs;
        client->Stop();
        collect();
        tally.Print(start, wallMs);
        client->Reset();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_origin);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fprintf(stderr, "usage: first_start --device NAME --api wavein|wasapi|loopback "
                        "[--seconds S] [--starts N] [--idle-ms D] [--open-wait-ms W] [--packets]"
                        "\n       first_start --list\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (options.list) {
        return ListTopology();
    }
    return options.api == "wavein" ? RunWaveIn(options) : RunWasapi(options);
}
