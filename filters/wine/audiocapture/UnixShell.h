// A bash script started from a program under Wine, talked to through a loopback TCP
// connection that is its standard input and output. Wine starts a native executable given to
// CreateProcess, but the Unix descriptors it hands over for the standard handles do not serve:
// an anonymous pipe's output is lost, and a socket's descriptor is non-blocking, which the
// shell's `read` takes for the end of input (measured under Wine 8). So the script connects
// back itself, through bash's /dev/tcp. Our end's close is the script's end of input.
#pragma once
#include <windows.h>
#include <mutex>
#include <string>

#include "base/UniqueHandle.h"

namespace audiocapture {

// A Winsock SOCKET, without winsock2.h, which would have to come before every windows.h.
struct SocketTraits {
    using Handle = UINT_PTR;
    static Handle None() { return ~Handle{0}; }
    static void Close(Handle s);
};
using UniqueSocket = base::UniqueHandle<SocketTraits>;

class UnixShell {
public:
    UnixShell() = default;
    ~UnixShell();
    UnixShell(const UnixShell&) = delete;
    UnixShell& operator=(const UnixShell&) = delete;

    // Starts `/bin/bash -c script`; the script may not hold a double quote. False outside
    // Wine, and when bash cannot be started.
    bool Start(const std::string& script) noexcept;
    // Waits up to `waitMs` for the script to connect back; false when it did not, or after
    // Shutdown.
    bool Accept(DWORD waitMs) noexcept;
    // The next line of the script's output, without its end; false at its end.
    bool ReadLine(std::string& line) noexcept;
    bool Send(const char* text) noexcept;
    // Ends the script's input, and an Accept or ReadLine waiting in another thread.
    void Shutdown() noexcept;

private:
    bool Listen(std::string& port) noexcept;

    bool m_winsock = false;
    volatile LONG m_shutdown = 0;
    UniqueSocket m_listener;
    std::mutex m_lock; // Shutdown against Accept's change of the connection
    UniqueSocket m_socket;
    std::string m_token;
    std::string m_buffered;
};

} // namespace audiocapture
