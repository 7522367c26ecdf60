#include "filters/wine/audiocapture/CaptureDevice.h"

#include <new>

#include "filters/wine/audiocapture/LoopbackDevice.h"
#include "filters/wine/audiocapture/WaveInDevice.h"

namespace audiocapture {

std::unique_ptr<CaptureDevice> CaptureDevice::Create(const CaptureSource& source,
                                                     const WAVEFORMATEX& format, DWORD bufferBytes,
                                                     HANDLE bufferEvent) noexcept {
    if (source.kind == CaptureSource::Kind::Loopback) {
        return std::unique_ptr<CaptureDevice>(new (std::nothrow) LoopbackDevice(format));
    }
    return std::unique_ptr<CaptureDevice>(
        new (std::nothrow) WaveInDevice(source.waveInId, format, bufferBytes, bufferEvent));
}

DWORD CaptureDevice::BufferBytes(const WAVEFORMATEX& format) noexcept {
    DWORD bytes = format.nAvgBytesPerSec / 10;
    return format.nBlockAlign ? bytes - bytes % format.nBlockAlign : bytes;
}

} // namespace audiocapture
