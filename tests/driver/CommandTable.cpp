#include "CommandTable.h"

#include "DriverError.h"

#include <cstdio>

namespace driver {

const CommandEntry* CommandTable::Find(const std::string& name) const {
    for (const CommandEntry& entry : m_entries) {
        if (name == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

void CommandTable::Run(const Args& args) const {
    const CommandEntry* entry = Find(args.command());
    if (!entry) {
        throw DriverError("unknown command: " + args.command());
    }
    if (args.size() < entry->minArgs) {
        throw DriverError("usage: " + std::string(entry->name) + " " + entry->usage);
    }
    entry->run(args);
}

void CommandTable::PrintUsage() const {
    std::printf("usage: corvale-driver CMD ARGS... [-- CMD ARGS...]...\n");
    for (const CommandEntry& entry : m_entries) {
        std::printf("  %s %s\n", entry.name, entry.usage);
    }
}

} // namespace driver
