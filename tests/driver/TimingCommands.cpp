// mark, between, wait-ready, wait-released, exclusive, resources: when the program answered,
// when its file was free, and what it holds. Times are taken here, in the program's own Wine
// session, so that the cost of starting Wine processes never counts.
#include "CommandTable.h"
#include "DriverError.h"
#include "Paths.h"
#include "WindowLookup.h"
#include "base/UniqueHandle.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace driver {

namespace {

// The times taken here are compared with bounds of tens of milliseconds.
constexpr DWORD kTimingPollMs = 2;

double NowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / perMs;
}

std::map<std::string, double>& Marks() {
    static std::map<std::string, double> marks;
    return marks;
}

double MarkOf(const std::string& name) {
    auto it = Marks().find(name);
    if (it == Marks().end()) {
        throw DriverError("no mark " + name);
    }
    return it->second;
}

// Open for writing with no sharing: what another program that takes the file would do.
bool OpenExclusively(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

void Mark(const Args& args) {
    SetMark(args.at(0));
}

void Between(const Args& args) {
    std::printf("%.0f\n", MarkOf(args.at(1)) - MarkOf(args.at(0)));
}

// The window's answer time, then the moment its status text reads TEXT and whether the file
// could be taken exclusively right then; all in ms since the mark.
void WaitReady(const Args& args) {
    HWND top = ControlOf(args.at(0), 0);
    HWND status = ControlOf(args.at(0), args.intAt(1));
    const std::string& want = args.at(2);
    std::string path = WindowsPath(args.at(3));
    double since = MarkOf(args.at(4));
    long timeout = args.intOr(5, kDefaultTimeoutMs);

    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout), &ignored);
    double answered = NowMs() - since;
    auto shows = [&] { return TextOf(status) == want; };
    if (!WaitFor(timeout, shows, kTimingPollMs)) {
        throw DriverError("status is not " + Quote(want) + " after " + std::to_string(timeout) +
                          " ms");
    }
    double ready = NowMs() - since;
    bool exclusive = OpenExclusively(path);
    std::printf("answered %.0f ready %.0f exclusive %d\n", answered, ready, exclusive ? 1 : 0);
}

// For a program that goes away: ms since the mark until PATH can be taken exclusively.
void WaitReleased(const Args& args) {
    std::string path = WindowsPath(args.at(0));
    double since = MarkOf(args.at(1));
    auto released = [&] { return OpenExclusively(path); };
    if (!WaitFor(args.intOr(2, kDefaultTimeoutMs), released, kTimingPollMs)) {
        throw DriverError(path + " is still held by another program");
    }
    std::printf("released %.0f\n", NowMs() - since);
}

void Exclusive(const Args& args) {
    std::printf("%d\n", OpenExclusively(WindowsPath(args.at(0))) ? 1 : 0);
}

// Wine 8 answers 0 from GetProcessHandleCount for another process, but its system process
// list carries the server's handle count.
DWORD HandleCountFromSystem(DWORD pid) {
    using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) {
        return 0;
    }
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    while (query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &needed) != 0) {
        if (buffer.size() >= (64u << 20)) {
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
    for (size_t at = 0;;) {
        const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&buffer[at]);
        if (reinterpret_cast<ULONG_PTR>(info->UniqueProcessId) == pid) {
            return info->HandleCount;
        }
        if (info->NextEntryOffset == 0) {
            return 0;
        }
        at += info->NextEntryOffset;
    }
}

// Memory (private bytes, KiB), kernel handles and GDI/USER objects of the process that owns
// the window with that caption.
void Resources(const Args& args) {
    DWORD pid = 0;
    GetWindowThreadProcessId(ControlOf(args.at(0), 0), &pid);
    base::KernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) {
        throw DriverError("cannot open process " + std::to_string(pid));
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    DWORD handles = 0;
    GetProcessHandleCount(process.get(), &handles);
    if (handles == 0) {
        handles = HandleCountFromSystem(pid);
    }
    std::printf("memory %llu handles %lu gdi %lu user %lu\n",
                static_cast<unsigned long long>(memory.PrivateUsage / 1024), handles,
                GetGuiResources(process.get(), GR_GDIOBJECTS),
                GetGuiResources(process.get(), GR_USEROBJECTS));
}

} // namespace

void SetMark(const std::string& name) {
    Marks()[name] = NowMs();
}

void AddTimingCommands(CommandTable& table) {
    table.Add({"mark", "NAME", 1, Mark});
    table.Add({"between", "MARK1 MARK2", 2, Between});
    table.Add({"wait-ready", "CAPTION ID TEXT PATH MARK [TIMEOUT]", 5, WaitReady});
    table.Add({"wait-released", "PATH MARK [TIMEOUT]", 2, WaitReleased});
    table.Add({"exclusive", "PATH", 1, Exclusive});
    table.Add({"resources", "CAPTION", 1, Resources});
}

} // namespace driver
