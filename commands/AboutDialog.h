#pragma once
#include "framework/Dialog.h"
#include "widgets/statics/HyperLink.h"

// The About box: the program's name, version and maker with two links.
class AboutDialog : public fw::Dialog {
public:
    AboutDialog();
    ~AboutDialog() override;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    HyperLink m_linkContact;
    HyperLink m_linkSite;
};
