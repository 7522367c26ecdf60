#include "widgets/menu/MenuTemplate.h"

#include <cstring>

namespace {
class Reader {
public:
    Reader(const BYTE* data, size_t size, size_t at) : m_data(data), m_size(size), m_at(at) {}
    bool Word(WORD& value) {
        if (m_at + sizeof value > m_size) {
            return false;
        }
        std::memcpy(&value, m_data + m_at, sizeof value);
        m_at += sizeof value;
        return true;
    }
    bool Text(std::wstring& text) {
        for (WORD c = 0; Word(c);) {
            if (c == 0) {
                return true;
            }
            text.push_back(static_cast<wchar_t>(c));
        }
        return false;
    }
    bool AtEnd() const { return m_at >= m_size; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_at;
};
} // namespace

std::vector<MenuTemplate::Item> MenuTemplate::Parse(const BYTE* data, size_t size) {
    std::vector<Item> items;
    Reader header(data, size, 0);
    WORD version = 0, offset = 0;
    if (!data || !header.Word(version) || !header.Word(offset)) {
        return items;
    }
    Reader reader(data, size, 4 + size_t{offset});
    while (!reader.AtEnd()) {
        Item item;
        if (!reader.Word(item.option)) {
            break;
        }
        if (!(item.option & MF_POPUP) && !reader.Word(item.id)) {
            break;
        }
        if (!reader.Text(item.text)) {
            break;
        }
        items.push_back(std::move(item));
    }
    return items;
}
