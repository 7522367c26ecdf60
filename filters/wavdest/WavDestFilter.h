// "WAV Dest": writes its PCM input as a WAV byte stream whose sample times are file offsets.
// What arrives is queued and written by a thread of its own (WriteQueue), so the capture never
// waits for the disk. The header goes first, its sizes are refreshed at least every quarter
// second while recording (a killed recording stays playable), and the final sizes are written
// when the graph leaves Running, once the queue is written, while Wine's File Writer still has
// the file open; where the downstream pin offers IStream (Windows' File Writer) the header is
// also written through it at Stop.
#pragma once
#include <atomic>
#include <mutex>
#include <cstdint>
#include <optional>

#include "filters/kit/Filter.h"
#include "filters/wavdest/LevelSource.h"
#include "filters/wavdest/WavDestClassId.h"
#include "filters/wavdest/WavDestPins.h"
#include "filters/wavdest/WavHeader.h"
#include "filters/wavdest/WriteQueue.h"

namespace wavdest {

class WavDestFilter : public kit::FilterBase, private WriteQueue::Target {
public:
    WavDestFilter() noexcept;
    // The queue's thread uses the members below it: it ends first.
    ~WavDestFilter() override;

    int PinCount() noexcept override { return 2; }
    kit::PinBase* GetPin(int index) noexcept override;

    HRESULT ReceiveData(IMediaSample* sample) noexcept;
    HRESULT InputEnded() noexcept;

protected:
    void* FindInterface(REFIID riid) noexcept override;
    HRESULT OnStopToPause() noexcept override;
    HRESULT OnPauseToRun(REFERENCE_TIME tStart) noexcept override;
    HRESULT OnRunToPause() noexcept override;
    HRESULT OnPauseToStop() noexcept override;

private:
    HRESULT WriteQueued(const uint8_t* data, size_t bytes) noexcept override;
    HRESULT WriteGap(uint64_t bytes) noexcept override;
    HRESULT Appended(size_t bytes) noexcept;
    HRESULT FlushQueue() noexcept;
    HRESULT WriteAt(uint64_t position, const uint8_t* data, size_t length) noexcept;
    HRESULT WriteHeader(bool final) noexcept;
    HRESULT WriteHeaderThroughStream() noexcept;

    WavDestInputPin m_input;
    WavDestOutputPin m_output;
    WriteQueue m_queue;
    LevelSource m_levels{*this}; // what arrives, measured for the program's meter
    std::mutex m_streamLock;     // orders the writes of the queue's and control threads
    std::optional<WavHeader> m_header;
    uint64_t m_dataBytes = 0;
    uint64_t m_bytesAtLastHeader = 0;
    ULONGLONG m_lastHeaderTick = 0;
    DWORD m_bytesPerSecond = 0;
    uint8_t m_silence = 0; // the byte of a silent sample: 0x80 for 8-bit PCM
    bool m_headerWritten = false;
    std::atomic<bool> m_pausing{false};
};

} // namespace wavdest
