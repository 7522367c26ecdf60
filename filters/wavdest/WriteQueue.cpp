#include "filters/wavdest/WriteQueue.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace wavdest {

WriteQueue::WriteQueue(Target& target) noexcept : m_target(target) {}

WriteQueue::~WriteQueue() {
    Stop();
}

HRESULT WriteQueue::Start(size_t capacity) noexcept {
    Stop();
    std::lock_guard<std::mutex> lock(m_lock);
    m_entries.clear();
    m_capacity = capacity;
    m_queuedBytes = m_peakBytes = 0;
    m_gapBytes = 0;
    m_quit = false;
    m_error = S_OK;
    try {
        m_thread = std::thread([this] { Main(); });
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// A gap is kept behind the entry it follows, so that a full queue costs no memory more.
HRESULT WriteQueue::Push(const uint8_t* data, size_t bytes) noexcept {
    bool fits;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (FAILED(m_error)) {
            return m_error;
        }
        if (!m_thread.joinable()) {
            return E_UNEXPECTED;
        }
        fits = m_queuedBytes + bytes <= m_capacity;
        try {
            if (fits) {
                m_entries.push_back({std::vector<uint8_t>(data, data + bytes), 0});
                m_queuedBytes += bytes;
                m_peakBytes = std::max(m_peakBytes, m_queuedBytes);
            } else if (!m_entries.empty()) {
                m_entries.back().gap += bytes;
            } else {
                m_entries.push_back({{}, bytes});
            }
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        m_gapBytes += fits ? 0 : bytes;
    }
    m_changed.notify_all();
    return fits ? S_OK : S_FALSE;
}

bool WriteQueue::Flush(DWORD timeoutMs) noexcept {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_entries.empty() && !m_writing; });
}

void WriteQueue::Stop() noexcept {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

uint64_t WriteQueue::GapBytes() const noexcept {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_gapBytes;
}

size_t WriteQueue::PeakBytes() const noexcept {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_peakBytes;
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
