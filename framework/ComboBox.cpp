#include "ComboBox.h"

namespace fw {

std::string ComboBox::GetItemText(int index) const {
    LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

} // namespace fw
