#include <windows.h>

#include <cstdio>
#include <string>

// Records how it was started: one line per start, the whole command line as received.
int main() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log = std::string(path) + ".log";
    if (FILE* file = std::fopen(log.c_str(), "a")) {
        std::fprintf(file, "%s\n", GetCommandLineA());
        std::fclose(file);
    }
    return 0;
}
