#pragma once
#include <string>

namespace fw {

class Dialog;
class Window;

// One direction of data exchange between a dialog's controls and its members.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : m_dialog(dialog), m_save(save) {}

    Dialog& dialog() const { return m_dialog; }

    // Binds a template control to its object the first time; later calls do nothing.
    void Control(int id, Window& control);
    void Text(int id, std::string& value);
    void Check(int id, int& value);

private:
    Dialog& m_dialog;
    bool m_save;
};

} // namespace fw
