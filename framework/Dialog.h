#pragma once
#include "Window.h"

namespace fw {

class DataExchange;

// A modal dialog from a template resource. DoModal runs a message loop of its own, so that
// every delivered message passes through PreTranslateChain (tooltips relay from there)
// before the dialog manager's keyboard handling.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);

    INT_PTR DoModal();
    // Creates the dialog without a loop of its own (tests drive it by messages).
    HWND CreateModeless(HWND parent = nullptr);
    void EndDialog(INT_PTR result);
    bool ended() const { return m_ended; }
    // Moves data between the controls and the members: save = true reads the controls.
    bool UpdateData(bool save);

protected:
    // Runs once the controls exist; the base puts the members into the controls.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT templateId() const { return m_templateId; }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept;
    void RunModalLoop();
    HWND DefaultOwner() const;

    UINT m_templateId;
    HWND m_parent;
    bool m_ended = false;
    INT_PTR m_result = -1;
};

} // namespace fw
