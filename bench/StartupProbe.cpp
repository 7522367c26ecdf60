// startup_probe: starts programs in turn inside one Wine session and times, from just before
// CreateProcess, the moment the program's visible top-level window with the caption exists
// and the moment it is ready (the listed controls enabled, combo boxes with a selection).
// Then it closes the window as the close box would and waits for the process to end.
//   startup_probe [--runs N] [--warmup N] --caption TEXT
//                 --program NAME EXE [--ready ID,ID...] [--program NAME EXE ...] [--floor NAME]
// Prints "run NAME I window MS ready MS" per counted run, then min/median/max per program
// and the ratio of each program's medians to those of the floor program (--floor, else the
// last one).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Program {
    std::string name;
    std::string exe;
    std::vector<int> readyIds;
    std::vector<double> window, ready;
};

struct Options {
    int runs = 10;
    int warmup = 1;
    std::string caption;
    std::string floor;
    std::vector<Program> programs;
};

constexpr DWORD kTimeoutMs = 30000;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::vector<int> ParseIds(const std::string& text) {
    std::vector<int> ids;
    for (size_t pos = 0; pos < text.size();) {
        size_t comma = text.find(',', pos);
        ids.push_back(std::atoi(text.substr(pos, comma - pos).c_str()));
        if (comma == std::string::npos) {
            break;
        }
        pos = comma + 1;
    }
    return ids;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--runs" && i + 1 < argc) {
            options.runs = std::atoi(next());
        } else if (arg == "--warmup" && i + 1 < argc) {
            options.warmup = std::atoi(next());
        } else if (arg == "--caption" && i + 1 < argc) {
            options.caption = next();
        } else if (arg == "--floor" && i + 1 < argc) {
            options.floor = next();
        } else if (arg == "--program" && i + 2 < argc) {
            Program program;
            program.name = next();
            program.exe = next();
            options.programs.push_back(program);
        } else if (arg == "--ready" && i + 1 < argc && !options.programs.empty()) {
            options.programs.back().readyIds = ParseIds(next());
        } else {
            return false;
        }
    }
    return !options.caption.empty() && !options.programs.empty() && options.runs > 0;
}

struct Search {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) noexcept {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    // InternalGetWindowText reads the caption without sending the window a message.
    wchar_t wide[256] = {};
    InternalGetWindowText(hwnd, wide, 256);
    char caption[256] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, caption, sizeof caption, nullptr, nullptr);
    if (*search->caption == caption) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowOf(DWORD processId, const std::string& caption) {
    Search search{processId, &caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ControlReady(HWND top, int id) {
    HWND control = GetDlgItem(top, id);
    if (!control || !IsWindowEnabled(control)) {
        return false;
    }
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "ComboBox") != 0) {
        return true;
    }
    DWORD_PTR selection = static_cast<DWORD_PTR>(CB_ERR);
    return SendMessageTimeoutA(control, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 1000, &selection) &&
           static_cast<LRESULT>(selection) != CB_ERR;
}

// Polls in short sleeps: the probe must not take the processor from the program it times.
template <typename Pred> bool PollUntil(double deadline, Pred pred) {
    while (!pred()) {
        if (NowMs() > deadline) {
            return false;
        }
        Sleep(2);
    }
    return true;
}

bool TimeOneStart(const Program& program, const std::string& caption, double& windowMs,
                  double& readyMs) {
    std::string commandLine = "\"" + program.exe + "\"";
    std::string folder = program.exe.substr(0, program.exe.find_last_of("\\/"));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = NowMs();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (%lu)\n", program.exe.c_str(), GetLastError());
        return false;
    }
    CloseHandle(process.hThread);
    HWND top = nullptr;
    const double deadline = start + kTimeoutMs;
    bool ok = PollUntil(
        deadline, [&] { return (top = FindWindowOf(process.dwProcessId, caption)) != nullptr; });
    windowMs = NowMs() - start;
    ok = ok && PollUntil(deadline, [&] {
             return std::all_of(program.readyIds.begin(), program.readyIds.end(),
                                [&](int id) { return ControlReady(top, id); });
         });
    readyMs = NowMs() - start;
    if (top) {
        PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    if (WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "%s did not end after its close; terminated\n", program.name.c_str());
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    return ok;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintFigure(const Program& program, const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-10s %-7s no run counted\n", program.name.c_str(), what);
        return;
    }
    auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%-10s %-7s min %7.1f  median %7.1f  max %7.1f ms  (%zu runs)\n",
                program.name.c_str(), what, *low, Median(values), *high, values.size());
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: startup_probe [--runs N] [--warmup N] --caption TEXT "
                             "--program NAME EXE [--ready ID,ID...] ... [--floor NAME]\n");
        return 2;
    }
    int failures = 0;
    for (int round = 0; round < options.warmup + options.runs; ++round) {
        const bool counted = round >= options.warmup;
        // Alternating the programs in every round spreads the machine's drift over all.
        for (Program& program : options.programs) {
            double windowMs = 0, readyMs = 0;
            if (!TimeOneStart(program, options.caption, windowMs, readyMs)) {
                ++failures;
                std::printf("run %s %d failed\n", program.name.c_str(), round);
                continue;
            }
            if (counted) {
                program.window.push_back(windowMs);
                program.ready.push_back(readyMs);
                std::printf("run %s %d window %.1f ready %.1f\n", program.name.c_str(),
                            round - options.warmup + 1, windowMs, readyMs);
            }
            std::fflush(stdout);
            Sleep(300);
        }
    }
    for (const Program& program : options.programs) {
        PrintFigure(program, "window", program.window);
        if (!program.readyIds.empty()) {
            PrintFigure(program, "ready", program.ready);
        }
    }
    const Program* floor = &options.programs.back();
    for (const Program& program : options.programs) {
        if (program.name == options.floor) {
            floor = &program;
        }
    }
    for (const Program& program : options.programs) {
        if (&program == floor || program.window.empty() || floor->window.empty()) {
            continue;
        }
        const double floorMedian = Median(floor->window);
        std::printf("ratio of medians %s/%s: window %.2f", program.name.c_str(),
                    floor->name.c_str(), Median(program.window) / floorMedian);
        if (!program.ready.empty()) {
            std::printf(", ready %.2f", Median(program.ready) / floorMedian);
        }
        std::printf("\n");
    }
    return failures ? 1 : 0;
}
