// The sound server's default sink, as its command-line client `pactl` tells it, for a Wine
// whose default output names no sink. One shell script of our own lives as long as the
// watcher: it asks `pactl get-default-sink` when told to, and `pactl subscribe` reports each
// change of the server's settings, the default sink among them, upon which the watcher asks
// again. A start of a take so reads what is already known: each question starts a process,
// 10 to 300 ms from a busy machine, measured.
#pragma once
#include <windows.h>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "filters/wine/audiocapture/UnixShell.h"

namespace audiocapture {

struct DefaultSink {
    std::wstring name;    // the sink's name at the server, e.g. "speakers"; empty when unknown
    std::wstring problem; // when unknown, why
};

class DefaultSinkWatcher {
public:
    DefaultSinkWatcher() = default;
    ~DefaultSinkWatcher();
    DefaultSinkWatcher(const DefaultSinkWatcher&) = delete;
    DefaultSinkWatcher& operator=(const DefaultSinkWatcher&) = delete;

    // Starts the script the first time; later calls do nothing.
    void Start() noexcept;
    // The last answer; an answer asked for and not yet given is waited for: the first up to
    // two seconds, a later one up to 50 ms.
    DefaultSink Current() noexcept;

private:
    void Listen() noexcept;
    void Heard(const std::string& line);

    std::mutex m_lock;
    std::condition_variable m_answered;
    bool m_started = false;
    bool m_launchFailed = false;
    bool m_running = false;
    int m_asked = 0;
    bool m_heard = false;
    std::string m_sink;
    UnixShell m_shell;
    std::thread m_listener;
};

} // namespace audiocapture
