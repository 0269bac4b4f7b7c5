#include "app/setup_dialog.h"

#include "res/resource.h"
#include "sys/message_text.h"

namespace {
constexpr unsigned kFinishCaptionMessage = 27;
constexpr unsigned kStartCaptionMessage = 87;

void SetCaptionFromTable(const CWnd& dialog, int nId, unsigned nMessage)
{
    std::string strText;
    if (LoadMessage(nMessage, strText))
        dialog.SetDlgItemText(nId, strText);
}
} // namespace

CSetupDialog::CSetupDialog() : CControlUpdateDialog(IDD_SETUP) {}

BOOL CSetupDialog::OnInitDialog()
{
    CControlUpdateDialog::OnInitDialog();
    UpdateData(TRUE);
    SetCaptionFromTable(*this, IDCANCEL, kFinishCaptionMessage);
    SetCaptionFromTable(*this, IDC_START, kStartCaptionMessage);
    return TRUE;
}

void CSetupDialog::OnOK() {}

void CSetupDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
