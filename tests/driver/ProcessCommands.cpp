// start, wait-exit, kill, sleep.
#include "CommandTable.h"
#include "DriverError.h"
#include "Paths.h"
#include "base/UniqueHandle.h"

#include <windows.h>

#include <cstdio>
#include <map>

namespace driver {

namespace {

// Handles of the processes this run started: a process that ends before wait-exit opens it
// still has its exit code while a handle is held.
std::map<DWORD, base::KernelHandle>& StartedProcesses() {
    static std::map<DWORD, base::KernelHandle> started;
    return started;
}

DWORD& LastStarted() {
    static DWORD last = 0;
    return last;
}

// Quotes one argument so that CommandLineToArgvW and the C runtime read it back unchanged.
std::string QuoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

// "last" names the process this run started last, whose id the caller could not know yet.
DWORD ProcessId(const Args& args) {
    if (args.at(0) != "last") {
        return static_cast<DWORD>(args.intAt(0));
    }
    if (LastStarted() == 0) {
        throw DriverError("no process started in this run");
    }
    return LastStarted();
}

base::KernelHandle OpenForWait(DWORD pid) {
    auto& started = StartedProcesses();
    if (auto it = started.find(pid); it != started.end()) {
        return std::move(it->second);
    }
    base::KernelHandle process(OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid));
    if (!process) {
        throw DriverError("no process " + std::to_string(pid) + " (already ended?)");
    }
    return process;
}

void Start(const Args& args) {
    std::string exe = WindowsPath(args.at(0));
    std::string commandLine = QuoteArgument(exe);
    for (size_t i = 1; i < args.size(); ++i) {
        commandLine += ' ';
        commandLine += QuoteArgument(args.at(i));
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        throw DriverError("cannot start " + exe + " (error " + std::to_string(GetLastError()) +
                          ")");
    }
    base::KernelHandle thread(info.hThread);
    StartedProcesses()[info.dwProcessId] = base::KernelHandle(info.hProcess);
    LastStarted() = info.dwProcessId;
    std::printf("pid %lu\n", info.dwProcessId);
}

void WaitExit(const Args& args) {
    DWORD pid = ProcessId(args);
    long timeout = args.intOr(1, kDefaultTimeoutMs);
    base::KernelHandle process = OpenForWait(pid);
    if (WaitForSingleObject(process.get(), static_cast<DWORD>(timeout)) != WAIT_OBJECT_0) {
        StartedProcesses()[pid] = std::move(process);
        throw DriverError("process " + std::to_string(pid) + " still runs after " +
                          std::to_string(timeout) + " ms");
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    std::printf("exit %lu\n", code);
}

void Kill(const Args& args) {
    DWORD pid = ProcessId(args);
    base::KernelHandle process = OpenForWait(pid);
    if (!TerminateProcess(process.get(), 1)) {
        throw DriverError("cannot end process " + std::to_string(pid));
    }
    WaitForSingleObject(process.get(), 5000);
}

void SleepMs(const Args& args) {
    Sleep(static_cast<DWORD>(args.intAt(0)));
}

} // namespace

void AddProcessCommands(CommandTable& table) {
    table.Add({"start", "EXE [ARGS...]", 1, Start});
    table.Add({"wait-exit", "PID|last [TIMEOUT]", 1, WaitExit});
    table.Add({"kill", "PID|last", 1, Kill});
    table.Add({"sleep", "MS", 1, SleepMs});
}

} // namespace driver
