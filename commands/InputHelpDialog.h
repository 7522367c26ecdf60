#pragma once
#include "framework/Dialog.h"

// Explains which input line to choose; its OK stores whether to show it again.
class InputHelpDialog : public fw::Dialog {
public:
    InputHelpDialog();
    ~InputHelpDialog() override;

    int dontShowAgain() const { return m_bDontShowAgain; }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override;

private:
    int m_bDontShowAgain = 1;
};
