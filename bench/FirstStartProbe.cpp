// first_start: where the first start of a capture device goes under Wine. It opens a device
// through waveIn or WASAPI (shared mode, event driven), starts it, and prints the milliseconds
// from the process's start of each step, when the first data and the first sound (a sample
// above -60 dBFS) arrive, and after SECONDS how many frames arrived against the wall time and
// how many of them were silence before the sound began. A tone must play into the device.
//   first_start --device NAME --api wavein|wasapi [--seconds S] [--starts N] [--idle-ms D]
//               [--open-wait-ms W] [--packets]
// With --starts N the device is stopped and started again N-1 times, D ms apart; the first
// start comes W ms after the open. --packets prints each WASAPI packet's arrival, device
// position and how old its time stamp is (Wine stamps a packet when it is fetched).
#include <windows.h>
#include <initguid.h>
#include <audioclient.h>
#include <functiondiscoverykeys_devpkey.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/AnsiText.h"

namespace {

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
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--packets") {
            options.packets = true;
            --i;
        } else if (i + 1 == argc) {
            return false;
        } else if (arg == "--device") {
            options.device = fw::Widen(argv[i + 1]);
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
    return !options.device.empty();
}

// Counts what one start delivers: frames, the first data, the first sound.
class Tally {
public:
    explicit Tally(double startMs) : m_startMs(startMs) {}
    void Add(const int16_t* samples, size_t frames) {
        if (frames > 0 && m_firstDataMs < 0) {
            m_firstDataMs = NowMs() - m_startMs;
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
        printf("START %d first_data_ms %.1f first_sound_ms %.1f silent_lead_ms %.1f kept_ms %.1f "
               "wall_ms %.1f\n",
               start, m_firstDataMs, m_firstSoundMs, m_silentLead / 44.1, m_frames / 44.1, wallMs);
    }

private:
    double m_startMs;
    double m_firstDataMs = -1;
    double m_firstSoundMs = -1;
    size_t m_frames = 0;
    size_t m_silentLead = 0;
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
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEIN wave = nullptr;
    printf("OPEN_BEGIN %.1f\n", NowMs());
    if (waveInOpen(&wave, id, &wfx, reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT) !=
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
            WaitForSingleObject(event, 20);
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

IMMDevice* FindEndpoint(const std::wstring& name) {
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator)))) {
        return nullptr;
    }
    IMMDeviceCollection* devices = nullptr;
    enumerator->EnumAudioEndpoints(eCapture, DEVICE_STATE_ACTIVE, &devices);
    enumerator->Release();
    UINT count = 0;
    devices->GetCount(&count);
    IMMDevice* found = nullptr;
    for (UINT i = 0; i < count && !found; ++i) {
        IMMDevice* device = nullptr;
        devices->Item(i, &device);
        IPropertyStore* store = nullptr;
        device->OpenPropertyStore(STGM_READ, &store);
        PROPVARIANT value;
        PropVariantInit(&value);
        store->GetValue(PKEY_Device_FriendlyName, &value);
        if (value.vt == VT_LPWSTR && name == value.pwszVal) {
            found = device;
        } else {
            device->Release();
        }
        PropVariantClear(&value);
        store->Release();
    }
    devices->Release();
    return found;
}

int RunWasapi(const Options& options) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    printf("ENUM_BEGIN %.1f\n", NowMs());
    IMMDevice* device = FindEndpoint(options.device);
    if (!device) {
        printf("no endpoint\n");
        return 1;
    }
    printf("ENUM_END %.1f\n", NowMs());
    IAudioClient* client = nullptr;
    device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                     reinterpret_cast<void**>(&client));
    printf("ACTIVATED %.1f\n", NowMs());
    WAVEFORMATEX wfx = Format();
    HRESULT hr = client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                    1000000, 0, &wfx, nullptr);
    printf("INITIALIZED %.1f hr 0x%08lx\n", NowMs(), static_cast<unsigned long>(hr));
    if (FAILED(hr)) {
        return 1;
    }
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    client->SetEventHandle(event);
    IAudioCaptureClient* capture = nullptr;
    client->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture));
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
                    printf("PACKET t %.1f frames %u pos %llu age_ms %.1f\n", NowMs() - startMs,
                           frames, static_cast<unsigned long long>(position),
                           (nowHns - static_cast<double>(qpc)) / 1e4);
                }
                if (flags & AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY) {
                    printf("DISCONTINUITY at %.1f ms\n", NowMs() - startMs);
                }
                tally.Add(reinterpret_cast<const int16_t*>(data), frames);
                capture->ReleaseBuffer(frames);
            }
        };
        while (NowMs() - startMs < options.seconds * 1000) {
            WaitForSingleObject(event, 20);
            collect();
        }
        double wallMs = NowMs() - startMs;
        client->Stop();
        collect();
        tally.Print(start, wallMs);
        client->Reset();
    }
    capture->Release();
    client->Release();
    device->Release();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_origin);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fprintf(stderr, "usage: first_start --device NAME --api wavein|wasapi [--seconds S] "
                        "[--starts N] [--idle-ms D] [--open-wait-ms W] [--packets]\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    return options.api == "wasapi" ? RunWasapi(options) : RunWaveIn(options);
}
