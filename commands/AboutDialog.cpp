#include "commands/AboutDialog.h"

#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "resources/web_addresses.h"

AboutDialog::AboutDialog() : fw::Dialog(IDD_ABOUT, nullptr) {}

AboutDialog::~AboutDialog() = default;

void AboutDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_LINK_CONTACT, m_linkContact);
    dx.Control(IDC_LINK_SITE, m_linkSite);
}

BOOL AboutDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    m_linkSite.SetLink(CORVALE_SITE_URL);
    m_linkSite.SetUnderlineMode(HyperLink::UnderlineAlways);
    m_linkContact.SetLink(CORVALE_CONTACT_URL);
    m_linkContact.SetUnderlineMode(HyperLink::UnderlineAlways);
    return TRUE;
}
