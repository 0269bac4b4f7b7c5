#include "framework/data_exchange.h"

#include "framework/exception.h"
#include "framework/wnd.h"

HWND CDataExchange::PrepareCtrl(int nId) const
{
    HWND hCtrl = m_pDlgWnd->GetDlgItem(nId);
    if (hCtrl == nullptr)
        throw new CException;
    return hCtrl;
}

void DDX_Text(CDataExchange* pDX, int nId, std::string& strValue)
{
    pDX->PrepareCtrl(nId);
    if (pDX->m_bSaveAndValidate)
        strValue = pDX->m_pDlgWnd->GetDlgItemText(nId);
    else
        pDX->m_pDlgWnd->SetDlgItemText(nId, strValue);
}

void DDX_Check(CDataExchange* pDX, int nId, int& nValue)
{
    HWND hCtrl = pDX->PrepareCtrl(nId);
    if (pDX->m_bSaveAndValidate)
        nValue = static_cast<int>(SendMessageA(hCtrl, BM_GETCHECK, 0, 0));
    else
        SendMessageA(hCtrl, BM_SETCHECK, static_cast<WPARAM>(nValue), 0);
}

void DDX_Control(CDataExchange* pDX, int nId, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.Attach(pDX->PrepareCtrl(nId));
}
