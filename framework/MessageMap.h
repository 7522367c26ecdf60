#pragma once
#include <windows.h>
#include <functional>
#include <vector>

namespace fw {

// A window's table from messages to handlers: plain window messages, WM_COMMAND notifications
// by control id and code, and WM_NOTIFY codes by control id. The first matching entry wins.
class MessageMap {
public:
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    using CommandHandler = std::function<void()>;
    using NotifyHandler = std::function<LRESULT(NMHDR*)>;

    void OnMessage(UINT message, MessageHandler handler);
    void OnCommand(int id, int code, CommandHandler handler);
    void OnNotify(int id, int code, NotifyHandler handler);

    // Runs the handler of the message, if any; result receives its value.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;

private:
    struct MessageEntry {
        UINT message;
        MessageHandler handler;
    };
    struct CommandEntry {
        int id;
        int code;
        CommandHandler handler;
    };
    struct NotifyEntry {
        int id;
        int code;
        NotifyHandler handler;
    };
    std::vector<MessageEntry> m_messages;
    std::vector<CommandEntry> m_commands;
    std::vector<NotifyEntry> m_notifies;
};

} // namespace fw
