#include "filters/wine/audiocapture/WaveInDevice.h"

#include <algorithm>

namespace audiocapture {

namespace {
// At least a second of sound in buffers (ten of the default tenth): the capture thread gives
// them back at once, and this covers the longest it was seen not to run on a loaded machine
// (about 300 ms) three times over.
constexpr size_t kBufferCount = 10;
} // namespace

WaveInDevice::WaveInDevice(UINT deviceId, const WAVEFORMATEX& format, DWORD bufferBytes,
                           HANDLE bufferEvent) noexcept
    : m_deviceId(deviceId), m_format(format), m_bufferEvent(bufferEvent),
      m_bufferBytes(bufferBytes) {
    m_format.cbSize = 0;
}

WaveInDevice::~WaveInDevice() {
    Close();
}

HRESULT WaveInDevice::Allocate() noexcept {
    try {
        const size_t count = std::max<size_t>(
            kBufferCount, (m_format.nAvgBytesPerSec + m_bufferBytes - 1) / m_bufferBytes);
        m_memory.assign(count, std::vector<BYTE>(m_bufferBytes));
        m_headers.assign(count, WAVEHDR{});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT WaveInDevice::Open() noexcept {
    MMRESULT rc = waveInOpen(&m_wave, m_deviceId, &m_format,
                             reinterpret_cast<DWORD_PTR>(m_bufferEvent), 0, CALLBACK_EVENT);
    if (rc != MMSYSERR_NOERROR) {
        m_wave = nullptr;
        return E_FAIL;
    }
    for (size_t i = 0; i < m_headers.size(); ++i) {
        WAVEHDR& h = m_headers[i];
        h = WAVEHDR{};
        h.lpData = reinterpret_cast<LPSTR>(m_memory[i].data());
        h.dwBufferLength = m_bufferBytes;
        waveInPrepareHeader(m_wave, &h, sizeof(h));
        waveInAddBuffer(m_wave, &h, sizeof(h));
    }
    m_next = 0;
    m_position.Reset();
    return S_OK;
}

void WaveInDevice::Close() noexcept {
    if (!m_wave) {
        return;
    }
    waveInReset(m_wave);
    for (WAVEHDR& h : m_headers) {
        waveInUnprepareHeader(m_wave, &h, sizeof(h));
    }
    waveInClose(m_wave);
    m_wave = nullptr;
    m_started = false;
}

bool WaveInDevice::Start() noexcept {
    Stop(0);
    m_started = m_wave && waveInStart(m_wave) == MMSYSERR_NOERROR;
    m_positionAtStart = m_started ? Position() : 0;
    m_takenSinceStart = 0;
    return m_started;
}

// The device marks its partly filled buffer done after the stop, from a thread of its own
// (within 10 ms measured under Wine 8, later on a loaded machine); a buffer without data
// stays queued. Finished buffers not yet taken may come before the partly filled one.
void WaveInDevice::Stop(DWORD waitMs) noexcept {
    if (!m_wave || !m_started) {
        return;
    }
    waveInStop(m_wave);
    m_started = false;
    ULONGLONG deadline = GetTickCount64() + waitMs;
    while (CapturedSinceStart() > InFinishedBuffers() && GetTickCount64() < deadline) {
        Sleep(2);
    }
}

// Bytes since the start that are taken or wait in finished buffers, in order from m_next.
uint64_t WaveInDevice::InFinishedBuffers() const noexcept {
    uint64_t bytes = m_takenSinceStart;
    for (size_t i = 0; i < m_headers.size(); ++i) {
        const WAVEHDR& h = m_headers[(m_next + i) % m_headers.size()];
        if (!(h.dwFlags & WHDR_DONE)) {
            break;
        }
        bytes += h.dwBytesRecorded;
    }
    return bytes;
}

uint64_t WaveInDevice::CapturedSinceStart() noexcept {
    uint64_t position = Position();
    return position > m_positionAtStart ? position - m_positionAtStart : 0;
}

uint64_t WaveInDevice::Position() noexcept {
    MMTIME time{};
    time.wType = TIME_BYTES;
    if (!m_wave || waveInGetPosition(m_wave, &time, sizeof(time)) != MMSYSERR_NOERROR ||
        time.wType != TIME_BYTES) {
        return m_position.Last();
    }
    return m_position.Update(time.u.cb);
}

void WaveInDevice::TakeFilled(Receiver& receiver) noexcept {
    while (m_wave && (m_headers[m_next].dwFlags & WHDR_DONE)) {
        WAVEHDR& h = m_headers[m_next];
        m_takenSinceStart += h.dwBytesRecorded;
        if (h.dwBytesRecorded > 0) {
            receiver.Take(reinterpret_cast<const BYTE*>(h.lpData), h.dwBytesRecorded);
        }
        Requeue(h);
        m_next = (m_next + 1) % m_headers.size();
    }
}

void WaveInDevice::Requeue(WAVEHDR& header) noexcept {
    header.dwFlags &= ~WHDR_DONE;
    header.dwBytesRecorded = 0;
    waveInAddBuffer(m_wave, &header, sizeof(header));
}

} // namespace audiocapture
