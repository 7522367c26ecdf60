#include "app/RecorderDialog.h"
#include "resources/resource.h"

void RecorderDialog::ConfigureButtons() {
    struct Transport {
        SkinButton& button;
        int icon;
        const char* tip;
    };
    for (const Transport& t : {Transport{m_btnRecord, IDI_RECORD, "Record audio"},
                               Transport{m_btnPause, IDI_PAUSE, "Pause audio recording"},
                               Transport{m_btnStop, IDI_STOP, "Stop audio recording"}}) {
        t.button.SetIcons(t.icon, 0);
        t.button.UseParentBackground(SkinButton::NoRepaint);
        t.button.SetPointerCursor(IDC_HAND_POINTER, true);
        t.button.SetTipText(t.tip, true);
        t.button.SetImageAlign(SkinButton::ImageLeft, true);
        t.button.SetFlatStyle(false, true);
    }
    struct Small {
        SkinButton& button;
        const char* tip;
    };
    for (const Small& s :
         {Small{m_btnBrowse, "Browse"}, Small{m_btnPlay, "Play the wave file"},
          Small{m_btnHomepage, "Homepage"}, Small{m_btnAbout, "About"}, Small{m_btnHelp, "Help"}}) {
        s.button.UseParentBackground(SkinButton::NoRepaint);
        s.button.SetPointerCursor(IDC_HAND_POINTER, true);
        s.button.SetTipText(s.tip, true);
        s.button.SetImageAlign(SkinButton::ImageAbove, true);
    }
}
