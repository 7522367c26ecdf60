// Commands from the filter's callers to the capture thread, and each one's result back. Every
// command carries a number of its own: a command that completes after its caller stopped
// waiting is never taken for the result of the next one, and commands run in the order given.
#pragma once
#include <windows.h>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "base/UniqueHandle.h"

namespace audiocapture {

template <typename Command> class CommandChannel {
public:
    struct Posted {
        uint64_t id;
        Command command;
    };

    // False when the event the capture thread waits on cannot be made.
    bool Create() noexcept {
        m_posted.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        return static_cast<bool>(m_posted);
    }
    // Signalled whenever a command is posted: the capture thread waits on it with its others.
    HANDLE PostedEvent() const noexcept { return m_posted.get(); }

    // Posts `command` and waits up to `timeoutMs` for the capture thread to complete it.
    HRESULT Run(Command command, DWORD timeoutMs) noexcept {
        std::unique_lock<std::mutex> lock(m_lock);
        uint64_t id = PostLocked(command);
        if (!id) {
            return E_OUTOFMEMORY;
        }
        bool done = m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return m_completed >= id; });
        return done ? m_results[id % kResults] : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    // Posts `command` without waiting for it.
    void Post(Command command) noexcept {
        std::lock_guard<std::mutex> lock(m_lock);
        PostLocked(command);
    }
    // Capture thread: the oldest command not yet taken.
    std::optional<Posted> Take() noexcept {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_queue.empty()) {
            return std::nullopt;
        }
        Posted next = m_queue.front();
        m_queue.pop_front();
        return next;
    }
    // Capture thread: the command `id` is done with `result`.
    void Complete(uint64_t id, HRESULT result) noexcept {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_results[id % kResults] = result;
            m_completed = id;
        }
        m_done.notify_all();
    }

private:
    // Results are kept for the last few commands: a caller that is still waiting is never more
    // than that many commands behind, since commands are posted one caller at a time.
    static constexpr uint64_t kResults = 8;

    uint64_t PostLocked(Command command) noexcept {
        try {
            m_queue.push_back({++m_lastId, command});
        } catch (...) {
            return 0;
        }
        SetEvent(m_posted.get());
        return m_lastId;
    }

    std::mutex m_lock;
    std::condition_variable m_done;
    std::deque<Posted> m_queue;
    uint64_t m_lastId = 0;
    uint64_t m_completed = 0;
    HRESULT m_results[kResults] = {};
    base::KernelHandle m_posted;
};

} // namespace audiocapture
