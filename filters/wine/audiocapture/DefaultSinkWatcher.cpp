#include "filters/wine/audiocapture/DefaultSinkWatcher.h"

#include "base/AnsiText.h"

namespace audiocapture {

namespace {

// Each line of input asks for the default sink; an empty line answers a failed question. The
// end of input (the watcher's end) ends the subscription too. The event texts are read in
// the C locale.
constexpr char kScript[] = "command -v pactl >/dev/null || exit; "
                           "LC_ALL=C pactl subscribe </dev/null & "
                           "while read -r _; do pactl get-default-sink </dev/null || echo; done; "
                           "kill $!";
// Bash starts and connects back within this (0.1 to 0.5 s on a busy machine, measured).
constexpr DWORD kConnectWaitMs = 5000;
// The first answer comes 30 to 700 ms after the start (measured, idle to very busy machine): the
// device's preparation, the first to ask, waits for it, so that a take begun right after
// finds it. A later answer, asked for upon a change, is waited for at most as long as a take's
// start may be delayed by it.
constexpr DWORD kFirstAnswerWaitMs = 2000;
constexpr DWORD kLaterAnswerWaitMs = 50;

bool IsServerChange(const std::string& line) {
    return line.rfind("Event '", 0) == 0 && line.find("' on server") != std::string::npos;
}

bool IsEvent(const std::string& line) {
    return line.rfind("Event '", 0) == 0;
}

} // namespace

DefaultSinkWatcher::~DefaultSinkWatcher() {
    m_shell.Shutdown();
    if (m_listener.joinable()) {
        m_listener.join();
    }
}

void DefaultSinkWatcher::Start() noexcept {
    std::lock_guard lock(m_lock);
    if (m_started) {
        return;
    }
    m_started = true;
    if (!m_shell.Start(kScript)) {
        m_launchFailed = true;
        return;
    }
    try {
        m_listener = std::thread([this] { Listen(); });
    } catch (...) {
        m_launchFailed = true;
        return;
    }
    m_running = true;
    m_asked = 1;
}

void DefaultSinkWatcher::Listen() noexcept {
    std::string line;
    try {
        if (m_shell.Accept(kConnectWaitMs) && m_shell.Send("\n")) {
            while (m_shell.ReadLine(line)) {
                Heard(line);
            }
        }
    } catch (...) {
    }
    std::lock_guard lock(m_lock);
    m_running = false;
    m_answered.notify_all();
}

void DefaultSinkWatcher::Heard(const std::string& line) {
    if (IsServerChange(line)) {
        std::lock_guard lock(m_lock);
        if (m_shell.Send("\n")) {
            ++m_asked;
        }
        return;
    }
    if (IsEvent(line)) {
        return;
    }
    std::lock_guard lock(m_lock);
    m_sink = line;
    m_heard = true;
    m_asked = m_asked > 0 ? m_asked - 1 : 0;
    m_answered.notify_all();
}

DefaultSink DefaultSinkWatcher::Current() noexcept {
    try {
        std::unique_lock lock(m_lock);
        const DWORD waitMs = m_heard ? kLaterAnswerWaitMs : kFirstAnswerWaitMs;
        m_answered.wait_for(lock, std::chrono::milliseconds(waitMs),
                            [this] { return m_asked == 0 || !m_running; });
        if (!m_started || m_launchFailed) {
            return {{}, L"Wine could not start /bin/bash to ask pactl"};
        }
        if (!m_heard && !m_running) {
            return {{}, L"pactl (package pulseaudio-utils) or bash is missing or could not be run"};
        }
        if (!m_heard) {
            return {{}, L"pactl gave no answer within " + std::to_wstring(waitMs) + L" ms"};
        }
        if (m_sink.empty()) {
            return {{}, L"the sound server names no default output"};
        }
        return {base::Widen(m_sink, CP_UTF8), {}};
    } catch (...) {
        return {{}, L"out of memory"};
    }
}

} // namespace audiocapture
