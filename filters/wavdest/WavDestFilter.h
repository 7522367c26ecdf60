// "WAV Dest": writes its PCM input as a WAV byte stream whose sample times are file offsets.
// What arrives is queued and written by a thread of its own (WriteQueue): a live capture never
// waits for the disk, and a source that can wait (a file, a converter) is held while the queue
// is full. The header goes first, its sizes are refreshed at least every quarter second while
// recording (a killed recording stays playable), and the final sizes are written when the
// graph leaves Running, once the queue is written, while Wine's File Writer still has the file
// open; where the downstream pin offers IStream (Windows' File Writer) the header is also
// written through it at Stop. A live take ends at the stream time of the Stop or Pause: sound
// starting after it is not written, however late the writer is.
#pragma once
#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>
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
    void OnLeavingRun() noexcept override;
    HRESULT OnRunToPause() noexcept override;
    HRESULT OnPauseToStop() noexcept override;

private:
    HRESULT WriteQueued(const uint8_t* data, size_t bytes) noexcept override;
    HRESULT WriteGap(uint64_t bytes) noexcept override;
    HRESULT Appended(size_t bytes) noexcept;
    long PartOfTake(IMediaSample* sample, long length, bool* ends) const noexcept;
    bool ReachesEnd(REFERENCE_TIME stop, REFERENCE_TIME slack = 0) const noexcept;
    HRESULT FlushQueue(ULONGLONG deadline) noexcept;
    void CloseTake() noexcept;
    uint32_t Milliseconds(uint64_t bytes) const noexcept;
    HRESULT WriteAt(uint64_t position, const uint8_t* data, size_t length) noexcept;
    HRESULT WriteHeader(bool final) noexcept;
    HRESULT WriteHeaderThroughStream() noexcept;

    WavDestInputPin m_input;
    WavDestOutputPin m_output;
    WriteQueue m_queue;
    LevelSource m_levels{*this};   // what arrives, measured for the program's meter
    std::timed_mutex m_streamLock; // orders the writes of the queue's and control threads
    std::optional<WavHeader> m_header;
    uint64_t m_dataBytes = 0;
    uint64_t m_bytesAtLastHeader = 0;
    ULONGLONG m_lastHeaderTick = 0;
    DWORD m_bytesPerSecond = 0;
    WORD m_blockAlign = 1;
    uint8_t m_silence = 0; // the byte of a silent sample: 0x80 for 8-bit PCM
    bool m_headerWritten = false;
    bool m_ranOnce = false; // since the last Stop: the next Run resumes the take
    std::atomic<uint64_t> m_silencedBytes{0};
    // A live source's take ends at its click: m_endTime is the stream time of the Stop or Pause
    // (kEndAtOnce without a clock); once the sound up to it has come, nothing more joins the
    // take.
    static constexpr REFERENCE_TIME kNoEnd = LLONG_MAX;
    static constexpr REFERENCE_TIME kEndAtOnce = LLONG_MIN;
    std::atomic<bool> m_live{false};
    std::atomic<REFERENCE_TIME> m_endTime{kNoEnd};
    // The stop time of the last live sample of this run (kNoSound before the first).
    static constexpr REFERENCE_TIME kNoSound = LLONG_MIN;
    std::atomic<REFERENCE_TIME> m_receivedUntil{kNoSound};
    std::atomic<bool> m_takeClosed{false};
    // When the graph left Running: the bound on the wait for the writer counts from here.
    std::atomic<ULONGLONG> m_endTick{0};
};

} // namespace wavdest
