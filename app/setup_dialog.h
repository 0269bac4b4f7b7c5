// The program's main window: template 102 with the Start and Cancel/Finish buttons.
// For now it offers its buttons only; the pages and the setup thread come later.
#pragma once

#include "app/control_update_dialog.h"

class CSetupDialog : public CControlUpdateDialog {
public:
    CSetupDialog();

    BOOL OnInitDialog() override;
    // Enter must never close the dialog.
    void OnOK() override;
    void OnCancel() override;
};
