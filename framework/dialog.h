// Dialogs from templates: modal, with a message loop of our own, or as child windows.
//
// The system's DialogBox runs a loop we cannot look into. Ours asks ContinueModal()
// after every message it dispatches, which lets a dialog do work on every turn (the
// command-update pass) and end the loop when it decides to.
//
// Before a message is dispatched, the loop offers it to every dialog from the window it
// is for up to the modal dialog (PreTranslateMessage), so a child dialog inside another
// (a page) can take its own keys before its parent sees them.
#pragma once

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIdTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs the modal loop until the dialog ends, destroys it and
    // returns the result given to EndDialog (-1 when the dialog could not be created or
    // the loop stopped without one). Without a parent window the dialog is owned by
    // GetModalOwner()'s window. The owner stays disabled while the dialog is up.
    virtual INT_PTR DoModal();

    // Creates the dialog as a modeless (usually child) window of pParentWnd. A child
    // dialog's controls join its parent's Tab order, as if its template said DS_CONTROL.
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

    // The dialog's turn at a message before it is dispatched; TRUE when it has been
    // handled. A dialog takes its keyboard and mouse input through the system's dialog
    // manager (Tab, Enter, Esc, mnemonics). A child dialog takes only Enter and Esc, which
    // are its own OK and Cancel, and leaves moving around to the dialog it sits in.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The dialog object behind hWnd, or null when hWnd is not one of our dialogs.
    static CDialog* FromHandle(HWND hWnd);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT m_nIdTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // bHidden: created invisible whatever the template says, so that a dialog that ends
    // in OnInitDialog never appears.
    HWND CreateFromTemplate(UINT nIdTemplate, HWND hParent, bool bHidden);
    void RunModalLoop();
    // Offers pMsg to the dialogs from its window up to this one; true when one took it.
    bool WalkPreTranslate(MSG* pMsg);

    bool m_bModal = false;
    bool m_bEnded = false;
    int m_nModalResult = -1;
};
