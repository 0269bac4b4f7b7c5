// CFinishPage (template 136): the page shown after a successful installation. It tells
// whether a restart is needed and offers two choices, restart and show the screensaver
// properties, which the main dialog's finish step carries out.
#pragma once

#include "app/setup_page_dialog.h"

#include <string>

class CFinishPage : public CSetupPageDialog {
public:
    CFinishPage();

    // Stores the two check boxes into m_bRestart and m_bShowProperties.
    void UpdatePage() override;
    // Fills the text and the check boxes for the run just completed, then shows the page.
    BOOL Activate() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    BOOL m_bShowProperties = 0;
    BOOL m_bRestart = 0;
    std::string m_strText;
};
