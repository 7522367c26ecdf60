#include <winsock2.h>

#include "filters/wine/audiocapture/UnixShell.h"

#include <cstring>

namespace audiocapture {

namespace {

// Only Wine's kernel32 has it; it gives the Windows path of a Unix one (heap memory).
using DosFileName = WCHAR*(CDECL*)(const char*);

// Accept waits in steps of this, so that Shutdown is seen.
constexpr long kAcceptStepMs = 50;

std::wstring DosPathOf(const char* unixPath) {
    auto convert = reinterpret_cast<DosFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* path = convert ? convert(unixPath) : nullptr;
    if (!path) {
        return {};
    }
    std::wstring text = path;
    HeapFree(GetProcessHeap(), 0, path);
    return text;
}

// Another local program could connect to the port first: the script's first line must be this.
std::string NewToken() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(now.QuadPart);
}

} // namespace

void SocketTraits::Close(Handle s) {
    closesocket(s);
}

// The sockets close before Winsock is left.
UnixShell::~UnixShell() {
    m_socket.reset();
    m_listener.reset();
    if (m_winsock) {
        WSACleanup();
    }
}

bool UnixShell::Start(const std::string& script) noexcept {
    try {
        const std::wstring bash = DosPathOf("/bin/bash");
        WSADATA data;
        m_winsock = m_winsock || WSAStartup(MAKEWORD(2, 2), &data) == 0;
        std::string port;
        if (bash.empty() || script.find('"') != std::string::npos || !m_winsock || !Listen(port)) {
            return false;
        }
        m_token = NewToken();
        const std::string full = "exec 0<>/dev/tcp/127.0.0.1/" + port +
                                 " 1>&0 2>/dev/null || exit; echo " + m_token + "; " + script;
        std::wstring commandLine = L"bash -c \"" + std::wstring(full.begin(), full.end()) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        // A Unix process has no Windows handles to give back; its end shows as the connection's.
        if (!CreateProcessW(bash.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
            return false;
        }
        if (process.hThread) {
            CloseHandle(process.hThread);
        }
        if (process.hProcess) {
            CloseHandle(process.hProcess);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool UnixShell::Listen(std::string& port) noexcept {
    UniqueSocket listener(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    auto* any = reinterpret_cast<sockaddr*>(&address);
    if (!listener || bind(listener.get(), any, size) != 0 || listen(listener.get(), 1) != 0 ||
        getsockname(listener.get(), any, &size) != 0) {
        return false;
    }
    try {
        port = std::to_string(ntohs(address.sin_port));
    } catch (...) {
        return false;
    }
    m_listener = std::move(listener);
    return true;
}

bool UnixShell::Accept(DWORD waitMs) noexcept {
    for (DWORD waited = 0; m_listener && !m_shutdown && waited < waitMs; waited += kAcceptStepMs) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(m_listener.get(), &ready);
        timeval step{0, kAcceptStepMs * 1000};
        if (select(0, &ready, nullptr, nullptr, &step) != 1) {
            continue;
        }
        UniqueSocket peer(accept(m_listener.get(), nullptr, nullptr));
        {
            std::lock_guard lock(m_lock);
            m_socket = std::move(peer);
        }
        std::string first;
        if (m_socket && ReadLine(first) && first == m_token) {
            m_listener.reset();
            return !m_shutdown;
        }
        std::lock_guard lock(m_lock);
        m_socket.reset();
    }
    return false;
}

bool UnixShell::ReadLine(std::string& line) noexcept {
    try {
        for (;;) {
            size_t end = m_buffered.find('\n');
            if (end != std::string::npos) {
                line.assign(m_buffered, 0, end);
                m_buffered.erase(0, end + 1);
                return true;
            }
            char chunk[256];
            int got = m_socket ? recv(m_socket.get(), chunk, sizeof(chunk), 0) : 0;
            if (got <= 0) {
                return false;
            }
            m_buffered.append(chunk, static_cast<size_t>(got));
        }
    } catch (...) {
        return false;
    }
}

bool UnixShell::Send(const char* text) noexcept {
    const int size = static_cast<int>(strlen(text));
    return m_socket && send(m_socket.get(), text, size, 0) == size;
}

void UnixShell::Shutdown() noexcept {
    InterlockedExchange(&m_shutdown, 1);
    std::lock_guard lock(m_lock);
    if (m_socket) {
        shutdown(m_socket.get(), SD_BOTH);
    }
}

} // namespace audiocapture
