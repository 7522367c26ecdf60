#include "commands/InputHelpDialog.h"

#include "app/Settings.h"
#include "framework/Application.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

InputHelpDialog::InputHelpDialog() : fw::Dialog(IDD_INPUT_HELP, nullptr) {}

InputHelpDialog::~InputHelpDialog() = default;

void InputHelpDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Check(IDC_DONT_SHOW_AGAIN, m_bDontShowAgain);
}

void InputHelpDialog::OnOK() {
    UpdateData(true);
    fw::Application::Current()->WriteProfileInt(settings::kSection, settings::kOnlyOnce,
                                                m_bDontShowAgain);
    fw::Dialog::OnOK();
}
