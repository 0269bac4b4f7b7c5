// Data exchange between a dialog's members and its controls, in one direction per pass:
// from the controls into the members when saving, from the members into the controls
// otherwise.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

    // The control nId of the dialog; throws a CException when the dialog has none, since
    // a missing control is a mismatch between a class and its template.
    HWND PrepareCtrl(int nId) const;

    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// The control's whole window text.
void DDX_Text(CDataExchange* pDX, int nId, std::string& strValue);

// A check box's state: 0 clear, 1 ticked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nId, int& nValue);

// Binds control nId to a window object the first time; later passes leave it bound.
void DDX_Control(CDataExchange* pDX, int nId, CWnd& control);
