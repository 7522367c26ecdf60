// What the capture thread reads from: a waveIn device, or the loopback of the default output
// (what the computer plays). Either hands over its sound in order, counts what it captured
// since its start and signals an event as sound arrives, where it can.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <cstdint>
#include <memory>

namespace audiocapture {

struct CaptureSource {
    enum class Kind { WaveIn, Loopback };
    Kind kind = Kind::WaveIn;
    UINT waveInId = 0;
    bool operator==(const CaptureSource&) const = default;
};

class CaptureDevice {
public:
    class Receiver {
    public:
        virtual void Take(const BYTE* data, DWORD bytes) noexcept = 0;

    protected:
        ~Receiver() = default;
    };

    // The device hands its sound over in pieces of `bufferBytes` (a waveIn device: its buffers).
    static std::unique_ptr<CaptureDevice> Create(const CaptureSource& source,
                                                 const WAVEFORMATEX& format, DWORD bufferBytes,
                                                 HANDLE bufferEvent) noexcept;
    // The bytes of one buffer unless a program asks for others (a tenth of a second): also the
    // size of the samples the capture filter delivers, so that each buffer fits one sample.
    static DWORD BufferBytes(const WAVEFORMATEX& format) noexcept;

    virtual ~CaptureDevice() = default;
    CaptureDevice() = default;
    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    virtual HRESULT Allocate() noexcept { return S_OK; }
    virtual HRESULT Open() noexcept = 0;
    virtual void Close() noexcept = 0;
    virtual bool IsOpen() const noexcept = 0;

    virtual bool Start() noexcept = 0;
    virtual bool Started() const noexcept = 0;
    // Stops the device; what it captured before comes back, waited for up to `waitMs`.
    virtual void Stop(DWORD waitMs) noexcept = 0;
    // Bytes captured since the last Start, those not yet handed over included.
    virtual uint64_t CapturedSinceStart() noexcept = 0;
    // Hands everything captured so far, in order, to `receiver`.
    virtual void TakeFilled(Receiver& receiver) noexcept = 0;
};

} // namespace audiocapture
