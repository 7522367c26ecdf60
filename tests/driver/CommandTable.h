#pragma once
#include "Args.h"

#include <vector>

namespace driver {

using CommandHandler = void (*)(const Args&);

struct CommandEntry {
    const char* name;
    const char* usage;
    size_t minArgs;
    CommandHandler run;
};

// Maps command names to their handlers; each area of the driver adds its own commands.
class CommandTable {
public:
    void Add(const CommandEntry& entry) { m_entries.push_back(entry); }
    bool Knows(const std::string& name) const { return Find(name) != nullptr; }
    void Run(const Args& args) const;
    void PrintUsage() const;

private:
    const CommandEntry* Find(const std::string& name) const;
    std::vector<CommandEntry> m_entries;
};

void AddProcessCommands(CommandTable& table);
void AddWindowCommands(CommandTable& table);
void AddControlCommands(CommandTable& table);
void AddInputCommands(CommandTable& table);
void AddDialogCommands(CommandTable& table);
void AddRegistryCommands(CommandTable& table);
void AddFeedbackCommands(CommandTable& table);
void AddImageCommands(CommandTable& table);
void AddTimingCommands(CommandTable& table);

// Remembers the time now under NAME, for the timing commands.
void SetMark(const std::string& name);

} // namespace driver
