#include "filters/wine/audiocapture/CaptureDevice.h"

#include <new>

#include "filters/wine/audiocapture/InputDevice.h"
#include "filters/wine/audiocapture/SoundEndpoints.h"

namespace audiocapture {

std::unique_ptr<CaptureDevice> CaptureDevice::Create(const CaptureSource& source,
                                                     const WAVEFORMATEX& format, DWORD bufferBytes,
                                                     HANDLE bufferEvent) noexcept {
    if (source.kind == CaptureSource::Kind::Loopback) {
        return std::unique_ptr<CaptureDevice>(new (std::nothrow)
                                                  StreamDevice(format, bufferBytes, {}));
    }
    std::wstring endpoint;
    try {
        endpoint = SoundEndpoints::EndpointOfWaveIn(source.waveInId);
    } catch (...) {
    }
    return std::unique_ptr<CaptureDevice>(new (std::nothrow) InputDevice(
        source.waveInId, std::move(endpoint), format, bufferBytes, bufferEvent));
}

DWORD CaptureDevice::BufferBytes(const WAVEFORMATEX& format) noexcept {
    DWORD bytes = format.nAvgBytesPerSec / 10;
    return format.nBlockAlign ? bytes - bytes % format.nBlockAlign : bytes;
}

} // namespace audiocapture
