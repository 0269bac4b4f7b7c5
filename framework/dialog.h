// Dialogs from templates: modal, with a message loop of our own, or as child windows.
//
// The system's DialogBox runs a loop we cannot look into. Ours asks ContinueModal()
// after every message it dispatches, which lets a dialog do work on every turn (the
// command-update pass) and end the loop when it decides to.
#pragma once

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIdTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs the modal loop until the dialog ends, destroys it and
    // returns the result given to EndDialog (-1 when the dialog could not be created or
    // the loop stopped without one).
    virtual INT_PTR DoModal();

    // Creates the dialog as a modeless (usually child) window of pParentWnd.
    BOOL Create(UINT nIdTemplate, CWnd* pParentWnd = nullptr);

    // Ends a modal dialog with nResult once the current message has been handled.
    void EndDialog(int nResult);

    // Runs DoDataExchange: controls into members when bSaveAndValidate, else members
    // into controls. FALSE when a control named by the exchange does not exist.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Asked after every message the modal loop dispatches: TRUE to go on.
    virtual BOOL ContinueModal();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT m_nIdTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(UINT nIdTemplate, HWND hParent);
    void RunModalLoop();

    bool m_bModal = false;
    bool m_bEnded = false;
    int m_nModalResult = -1;
};
