// Sound on its way to the file. The streaming thread puts a copy in; a thread of the queue's
// own hands it on in order. A source that can wait is held while the queue is full, so that
// nothing it sent is lost; a live capture cannot wait (its device would overflow), so what does
// not fit is counted and handed on as a gap of that many bytes, in its place, and the file's
// timeline stays true.
#pragma once
#include <windows.h>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace wavdest {

class WriteQueue {
public:
    // Called on the queue's thread, one call at a time, in the order the bytes were put in.
    class Target {
    public:
        virtual HRESULT WriteQueued(const uint8_t* data, size_t bytes) noexcept = 0;
        virtual HRESULT WriteGap(uint64_t bytes) noexcept = 0;

    protected:
        ~Target() = default;
    };

    // What a Push does when the bytes do not fit.
    enum class Overflow {
        Wait,    // waits for room (a single push larger than the room waits for an empty queue)
        Silence, // returns at once; the bytes become a gap
    };

    explicit WriteQueue(Target& target) noexcept;
    // Waits for a thread still inside the target: the target must outlive every call.
    ~WriteQueue();
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Starts the thread with room for `capacity` bytes; the first failure of the target ends
    // what the queue accepts until the next Start. ERROR_BUSY while the thread of the previous
    // run is still inside the target after `busyWaitMs`.
    HRESULT Start(size_t capacity, DWORD busyWaitMs = INFINITE) noexcept;
    // Copies the bytes in; S_FALSE when they became a gap, the target's failure once it failed,
    // VFW_E_WRONG_STATE once Stop began (a waiting push is refused then too).
    HRESULT Push(const uint8_t* data, size_t bytes, Overflow overflow) noexcept;
    // Waits until everything put in before the call has been handed on, up to `timeoutMs`.
    bool Flush(DWORD timeoutMs) noexcept;
    // Refuses further pushes and hands on what is left within `timeoutMs`. What the target has
    // not taken by then is dropped (DroppedBytes) and false returned; a thread still inside the
    // target is left to return from it and end, and is joined by the next Start.
    bool Stop(DWORD timeoutMs) noexcept;

    uint64_t GapBytes() const noexcept;
    uint64_t DroppedBytes() const noexcept;

private:
    struct Entry {
        std::vector<uint8_t> data;
        uint64_t gap = 0; // bytes that did not fit, in place of data
    };

    void Main() noexcept;
    HRESULT Write(const Entry& entry) noexcept;
    bool Fits(size_t bytes) const noexcept;
    void Append(const uint8_t* data, size_t bytes, bool fits);

    Target& m_target;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Entry> m_entries;
    std::thread m_thread; // only the control calls (Start, Stop, the destructor) touch it
    size_t m_capacity = 0;
    size_t m_queuedBytes = 0;
    // Bytes and gaps accepted, and handed on (or dropped), since Start: Flush compares them.
    uint64_t m_acceptedBytes = 0;
    uint64_t m_doneBytes = 0;
    uint64_t m_gapBytes = 0;
    uint64_t m_droppedBytes = 0;
    bool m_accepting = false;
    bool m_writing = false;
    bool m_quit = false;
    HRESULT m_error = S_OK;
};

} // namespace wavdest
