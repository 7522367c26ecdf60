#include "filters/wavdest/WriteQueue.h"

#include <vfwmsgs.h>

#include <chrono>
#include <utility>

namespace wavdest {

WriteQueue::WriteQueue(Target& target) noexcept : m_target(target) {}

WriteQueue::~WriteQueue() {
    Stop(0);
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

HRESULT WriteQueue::Start(size_t capacity, DWORD busyWaitMs) noexcept {
    if (m_thread.joinable()) {
        Stop(busyWaitMs);
        if (m_thread.joinable()) {
            return HRESULT_FROM_WIN32(ERROR_BUSY);
        }
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_entries.clear();
    m_capacity = capacity;
    m_queuedBytes = 0;
    m_acceptedBytes = m_doneBytes = m_gapBytes = m_droppedBytes = 0;
    m_quit = false;
    m_error = S_OK;
    try {
        m_thread = std::thread([this] { Main(); });
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    m_accepting = true;
    return S_OK;
}

bool WriteQueue::Fits(size_t bytes) const noexcept {
    return m_queuedBytes + bytes <= m_capacity;
}

// A gap is kept behind the entry it follows, so that a full queue costs no memory more.
void WriteQueue::Append(const uint8_t* data, size_t bytes, bool fits) {
    if (fits) {
        m_entries.push_back({std::vector<uint8_t>(data, data + bytes), 0});
        m_queuedBytes += bytes;
    } else if (!m_entries.empty()) {
        m_entries.back().gap += bytes;
    } else {
        m_entries.push_back({{}, bytes});
    }
    m_acceptedBytes += bytes;
    m_gapBytes += fits ? 0 : bytes;
}

HRESULT WriteQueue::Push(const uint8_t* data, size_t bytes, Overflow overflow) noexcept {
    bool fits;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        const bool wait = overflow == Overflow::Wait;
        if (wait) {
            m_changed.wait(lock, [&] {
                return !m_accepting || FAILED(m_error) || Fits(bytes) || m_queuedBytes == 0;
            });
        }
        if (FAILED(m_error)) {
            return m_error;
        }
        if (!m_accepting) {
            return VFW_E_WRONG_STATE;
        }
        fits = wait || Fits(bytes);
        try {
            Append(data, bytes, fits);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    m_changed.notify_all();
    return fits ? S_OK : S_FALSE;
}

bool WriteQueue::Flush(DWORD timeoutMs) noexcept {
    std::unique_lock<std::mutex> lock(m_lock);
    const uint64_t accepted = m_acceptedBytes;
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_doneBytes >= accepted; });
}

bool WriteQueue::Stop(DWORD timeoutMs) noexcept {
    bool written;
    bool idle;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_accepting = false;
        m_quit = true;
        m_changed.notify_all();
        written = m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return m_entries.empty() && !m_writing; });
        for (const Entry& entry : m_entries) {
            m_queuedBytes -= entry.data.size();
            m_droppedBytes += entry.data.size() + entry.gap;
            m_doneBytes += entry.data.size() + entry.gap;
        }
        m_entries.clear();
        idle = !m_writing;
    }
    m_changed.notify_all();
    // An idle thread is past its last call to the target and only has to see m_quit.
    if (idle && m_thread.joinable()) {
        m_thread.join();
    }
    return written;
}

uint64_t WriteQueue::GapBytes() const noexcept {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_gapBytes;
}

uint64_t WriteQueue::DroppedBytes() const noexcept {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_droppedBytes;
}

// After the target's first failure what is left is dropped: the writer has reported it, and
// every later Push returns it.
void WriteQueue::Main() noexcept {
    for (;;) {
        Entry entry;
        HRESULT error;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_changed.wait(lock, [&] { return m_quit || !m_entries.empty(); });
            if (m_entries.empty()) {
                return;
            }
            entry = std::move(m_entries.front());
            m_entries.pop_front();
            m_writing = true;
            error = m_error;
        }
        HRESULT hr = SUCCEEDED(error) ? Write(entry) : error;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_writing = false;
            m_queuedBytes -= entry.data.size();
            m_doneBytes += entry.data.size() + entry.gap;
            if (FAILED(hr) && SUCCEEDED(m_error)) {
                m_error = hr;
            }
        }
        m_changed.notify_all();
    }
}

HRESULT WriteQueue::Write(const Entry& entry) noexcept {
    HRESULT hr = S_OK;
    if (!entry.data.empty()) {
        hr = m_target.WriteQueued(entry.data.data(), entry.data.size());
    }
    if (SUCCEEDED(hr) && entry.gap > 0) {
        hr = m_target.WriteGap(entry.gap);
    }
    return hr;
}

} // namespace wavdest
