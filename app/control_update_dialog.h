// Dialog base that gives every control a command-update turn after each message the
// modal loop dispatches, so handlers keep controls enabled or disabled as the state
// changes. Controls without an update handler are left as they are.
#pragma once

#include "framework/dialog.h"

class CControlUpdateDialog : public CDialog {
public:
    using CDialog::CDialog;

    BOOL ContinueModal() override;
};
