// corvale-driver: drives the windows of another program in the same Wine session for the
// end-to-end tests. All commands of one call run in this one process, so the time between
// steps is only what they take themselves.
#include "CommandTable.h"
#include "DriverError.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::vector<driver::Args> SplitCommands(int argc, char** argv) {
    std::vector<driver::Args> commands;
    int i = 1;
    while (i < argc) {
        std::string name = argv[i++];
        std::vector<std::string> values;
        for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
            values.emplace_back(argv[i]);
        }
        ++i;
        commands.emplace_back(std::move(name), std::move(values));
    }
    return commands;
}

driver::CommandTable BuildTable() {
    driver::CommandTable table;
    driver::AddProcessCommands(table);
    driver::AddWindowCommands(table);
    driver::AddControlCommands(table);
    driver::AddInputCommands(table);
    driver::AddDialogCommands(table);
    driver::AddRegistryCommands(table);
    driver::AddFeedbackCommands(table);
    driver::AddImageCommands(table);
    driver::AddTimingCommands(table);
    return table;
}

} // namespace

int main(int argc, char** argv) {
    const driver::CommandTable table = BuildTable();
    const std::vector<driver::Args> commands = SplitCommands(argc, argv);
    if (commands.empty()) {
        table.PrintUsage();
        return 2;
    }
    // CORVALE_DRIVER_TIMES=1 reports each command's duration on stderr, to find slow steps.
    const bool timed = std::getenv("CORVALE_DRIVER_TIMES") != nullptr;
    for (const driver::Args& command : commands) {
        try {
            const ULONGLONG start = GetTickCount64();
            table.Run(command);
            std::fflush(stdout);
            if (timed) {
                std::fprintf(stderr, "driver: %s took %llu ms\n", command.command().c_str(),
                             GetTickCount64() - start);
            }
        } catch (const std::exception& e) {
            std::printf("driver: ERROR %s\n", e.what());
            std::fflush(stdout);
            return 1;
        }
    }
    return 0;
}
