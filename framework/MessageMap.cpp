#include "MessageMap.h"

namespace fw {

void MessageMap::OnMessage(UINT message, MessageHandler handler) {
    m_messages.push_back({message, std::move(handler)});
}

void MessageMap::OnCommand(int id, int code, CommandHandler handler) {
    m_commands.push_back({id, code, std::move(handler)});
}

void MessageMap::OnNotify(int id, int code, NotifyHandler handler) {
    m_notifies.push_back({id, code, std::move(handler)});
}

bool MessageMap::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        for (const auto& entry : m_commands) {
            if (entry.id == id && entry.code == code) {
                entry.handler();
                result = 0;
                return true;
            }
        }
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        for (const auto& entry : m_notifies) {
            if (static_cast<UINT_PTR>(entry.id) == header->idFrom &&
                static_cast<UINT>(entry.code) == header->code) {
                result = entry.handler(header);
                return true;
            }
        }
    }
    for (const auto& entry : m_messages) {
        if (entry.message == message) {
            result = entry.handler(wParam, lParam);
            return true;
        }
    }
    return false;
}

} // namespace fw
