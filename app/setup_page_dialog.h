// The dialog side the setup pages share: a child dialog of the main dialog that the page
// sequence shows, hides and gives up, and that Enter and Esc never end.
#pragma once

#include "app/setup_page.h"
#include "framework/dialog.h"

class CSetupPageDialog : public CDialog, public ISetupPage {
public:
    explicit CSetupPageDialog(UINT nIdTemplate) : CDialog(nIdTemplate) {}

    // Creates the page from its template as a hidden child of pParentWnd.
    BOOL CreatePage(CWnd* pParentWnd) { return Create(m_nIdTemplate, pParentWnd); }

    // Shows the page and gives it the keyboard focus; TRUE.
    BOOL Activate() override;
    // Hides the page, whichever way the sequence moves; TRUE.
    BOOL Deactivate(BOOL bForward) override;
    // The page belongs to its sequence, which gives it up here.
    void ReleasePage() override;

    void OnOK() override;
    void OnCancel() override;
};
