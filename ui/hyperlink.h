// CLinkLabel: a static text of a dialog turned into a web link. It draws its text
// underlined in the link colour, shows a hand cursor and a tooltip with the address,
// takes the hover colour while the mouse is over it and the visited colour once opened,
// and opens the address in the user's browser when clicked.
//
// The control's click and colour notifications go to its parent; the control subclasses
// the parent too and has them reflected back to itself, so that the dialog needs no
// handler of its own.
#pragma once

#include "framework/static.h"
#include "ui/link_opener.h"
#include "ui/ui_handles.h"

#include <windows.h>

#include <string>

class CDataExchange;

class CLinkLabel : public CStatic {
public:
    CLinkLabel();
    ~CLinkLabel() override;

    // Takes over the existing static control hWnd and sets it up as a link. False when
    // the control is already bound or cannot be subclassed.
    BOOL SubclassWindow(HWND hWnd);

    // Stores the flag and repaints the control if its window exists.
    void SetVisited(BOOL bVisited = TRUE);
    BOOL GetVisited() const { return m_bVisited; }

    const std::string& GetAddress() const { return m_strAddress; }
    HWND GetToolTip() const { return m_toolTip.Get(); }
    HCURSOR GetLinkCursor() const { return m_linkCursor.Get(); }

    // The opener clicks go through; the system's by default. Not owned.
    void SetOpener(CLinkOpener* pOpener) { m_pOpener = pOpener; }

    const COLORREF m_crLinkColour;
    const COLORREF m_crVisitedColour;
    const COLORREF m_crHoverColour;

protected:
    LRESULT OnReflectedCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectedCtlColor(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK ControlProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam, UINT_PTR nId,
                                        DWORD_PTR pThis);
    static LRESULT CALLBACK ParentProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam, UINT_PTR nId,
                                       DWORD_PTR pThis);

    void SetUp();
    void SetUnderlinedFont();
    void FitToText();
    void LoadLinkCursor();
    void CreateToolTip();
    void RelayToToolTip(UINT nMessage, WPARAM wParam, LPARAM lParam) const;
    void Redraw() const;
    void OnClicked();
    // Gives up both subclasses and everything the set-up made.
    void Release();

    BOOL m_bOverControl = FALSE;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bAdjustToFit = TRUE;
    std::string m_strAddress;
    CFontHandle m_font;
    CCursorHandle m_linkCursor;
    CWindowHandle m_toolTip;

    HWND m_hParent = nullptr;
    HFONT m_hOriginalFont = nullptr;
    CLinkOpener* m_pOpener;
};

// Binds control nId to the link the first time, as the main dialog's data exchange does
// for its web address; later passes leave it bound.
void DDX_Control(CDataExchange* pDX, int nId, CLinkLabel& link);
