// wasapi_rec: a recording under Wine through WASAPI rather than waveIn, to set the two side by
// side. It records a capture endpoint in shared mode, 44.1 kHz 16-bit stereo, into a WAV file,
// written with WriteFile in pieces of 100 ms as wavein_rec writes them, for a wall-clock time.
//   wasapi_rec --device NAME --out PATH [--seconds S] [--poll MS]
// Without --poll it is event driven (woken at each of the stream's periods); with --poll MS it
// collects every MS milliseconds from a buffer of a second, as the capture stand-in does with
// its streams.
#include "RecorderShared.h"

#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "base/UniqueHandle.h"
#include "filters/wine/audiocapture/SoundEndpoints.h"

#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// In 100 ns units: a second.
constexpr REFERENCE_TIME kBufferDuration = 10000000;

base::ComPtr<IAudioClient> OpenInput(const std::wstring& name) {
    base::ComPtr<IMMDeviceEnumerator> enumerator;
    base::ComPtr<IMMDevice> device;
    base::ComPtr<IAudioClient> client;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator.put_void()))) {
        return client;
    }
    const audiocapture::EndpointCatalog catalog = audiocapture::SoundEndpoints::Read();
    for (const audiocapture::AudioEndpoint& input : catalog.inputs()) {
        if (input.name == name &&
            SUCCEEDED(enumerator->GetDevice(input.id.c_str(), device.put()))) {
            device->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                             client.put_void());
            break;
        }
    }
    return client;
}

// Gathers what the stream hands over into pieces of a tenth of a second, each one written.
class PieceWriter {
public:
    PieceWriter(HANDLE file, DWORD pieceBytes) : m_file(file), m_piece(pieceBytes) {}

    void Add(const BYTE* data, DWORD bytes) {
        while (bytes > 0) {
            const DWORD part = std::min<DWORD>(bytes, static_cast<DWORD>(m_piece.size()) - m_used);
            std::copy(data, data + part, m_piece.begin() + m_used);
            m_used += part;
            data += part;
            bytes -= part;
            if (m_used == m_piece.size()) {
                Write();
            }
        }
    }

    void Write() {
        DWORD written = 0;
        if (m_used > 0 && WriteFile(m_file, m_piece.data(), m_used, &written, nullptr)) {
            m_dataBytes += written;
        }
        m_used = 0;
    }

    DWORD dataBytes() const { return m_dataBytes; }

private:
    HANDLE m_file;
    std::vector<BYTE> m_piece;
    DWORD m_used = 0;
    DWORD m_dataBytes = 0;
};

void Collect(IAudioCaptureClient* capture, const WAVEFORMATEX& format, PieceWriter& writer) {
    BYTE* data = nullptr;
    UINT32 frames = 0;
    DWORD flags = 0;
    while (capture->GetBuffer(&data, &frames, &flags, nullptr, nullptr) == S_OK) {
        const DWORD bytes = frames * format.nBlockAlign;
        if (flags & AUDCLNT_BUFFERFLAGS_SILENT) {
            const std::vector<BYTE> silence(bytes);
            writer.Add(silence.data(), bytes);
        } else {
            writer.Add(data, bytes);
        }
        capture->ReleaseBuffer(frames);
    }
}

} // namespace

int main(int argc, char** argv) {
    RecorderOptions options;
    int pollMs = 0;
    const auto own = [&](const std::string& arg, int& i) {
        if (arg != "--poll" || i + 1 >= argc) {
            return false;
        }
        pollMs = std::atoi(argv[++i]);
        return pollMs >= 0;
    };
    if (!ParseRecorderOptions(argc, argv, options, own)) {
        std::fprintf(stderr,
                     "usage: wasapi_rec --device NAME --out PATH [--seconds S] [--poll MS]\n");
        return 2;
    }
    base::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    base::ComPtr<IAudioClient> client = OpenInput(options.device);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    const DWORD streamFlags = pollMs > 0 ? 0 : AUDCLNT_STREAMFLAGS_EVENTCALLBACK;
    base::ComPtr<IAudioCaptureClient> capture;
    base::KernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!client ||
        FAILED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, streamFlags, kBufferDuration, 0,
                                  &format, nullptr)) ||
        (streamFlags && FAILED(client->SetEventHandle(event.get()))) ||
        FAILED(client->GetService(__uuidof(IAudioCaptureClient), capture.put_void()))) {
        std::fprintf(stderr, "cannot open a shared capture stream on that input\n");
        return 1;
    }
    base::FileHandle file(CreateFileW(options.out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        std::fprintf(stderr, "cannot create the output file\n");
        return 1;
    }
    WriteWavHeader(file.get(), format, 0);
    PieceWriter writer(file.get(), format.nAvgBytesPerSec / 10);
    client->Start();
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(options.seconds) * 1000;
    while (GetTickCount64() < end) {
        if (pollMs > 0) {
            Sleep(static_cast<DWORD>(pollMs));
        } else {
            WaitForSingleObject(event.get(), 100);
        }
        Collect(capture.get(), format, writer);
    }
    client->Stop();
    Collect(capture.get(), format, writer);
    writer.Write();
    WriteWavHeader(file.get(), format, writer.dataBytes());
    std::printf("RECORDED_MS %lu\n",
                static_cast<unsigned long>(writer.dataBytes() / (format.nAvgBytesPerSec / 1000)));
    return 0;
}
