// Sound on its way to the file. The streaming thread puts a copy in and returns at once; a
// thread of the queue's own hands it on in order, so a writer or a disk that stalls never
// holds the capture device's buffers. What does not fit (a stall longer than the queue holds)
// is counted and handed on as a gap of that many bytes, in its place, so that the file's
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

    explicit WriteQueue(Target& target) noexcept;
    ~WriteQueue();
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Starts the thread with room for `capacity` bytes; the first failure of the target ends
    // what the queue accepts until the next Start.
    HRESULT Start(size_t capacity) noexcept;
    // Copies the bytes in; S_FALSE when they did not fit and became a gap, the target's
    // failure once it failed.
    HRESULT Push(const uint8_t* data, size_t bytes) noexcept;
    // Waits until everything put in has been handed on, up to `timeoutMs`: false if not.
    bool Flush(DWORD timeoutMs) noexcept;
    // Hands on what is left, then ends the thread.
    void Stop() noexcept;

    uint64_t GapBytes() const noexcept;
    size_t PeakBytes() const noexcept;

private:
    struct Entry {
        std::vector<uint8_t> data;
        uint64_t gap = 0; // bytes that did not fit, in place of data
    };

    void Main() noexcept;
    HRESULT Write(const Entry& entry) noexcept;

    Target& m_target;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Entry> m_entries;
    std::thread m_thread;
    size_t m_capacity = 0;
    size_t m_queuedBytes = 0;
    size_t m_peakBytes = 0;
    uint64_t m_gapBytes = 0;
    bool m_writing = false;
    bool m_quit = false;
    HRESULT m_error = S_OK;
};

} // namespace wavdest
