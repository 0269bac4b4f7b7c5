#include "framework/wnd.h"

#include "framework/cmd_ui.h"

#include <utility>
#include <vector>

const CMessageMap* CWnd::GetThisMessageMap()
{
    static const MessageMapEntry s_entries[] = {{0, 0, 0, nullptr}};
    static const CMessageMap s_map = {nullptr, s_entries};
    return &s_map;
}

const CMessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

HWND CWnd::Detach()
{
    return std::exchange(m_hWnd, nullptr);
}

void CWnd::SetDlgItemText(int nId, const std::string& strText) const
{
    ::SetDlgItemTextA(m_hWnd, nId, strText.c_str());
}

std::string CWnd::GetDlgItemText(int nId) const
{
    HWND hItem = GetDlgItem(nId);
    if (hItem == nullptr)
        return std::string();
    const int nLength = GetWindowTextLengthA(hItem);
    std::vector<char> buffer(static_cast<std::size_t>(nLength) + 1, '\0');
    const int nCopied = GetWindowTextA(hItem, buffer.data(), nLength + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
}

const MessageMapEntry* CWnd::FindEntry(UINT nMessage, UINT nCode, UINT nId) const
{
    for (const CMessageMap* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* pEntry = pMap->pEntries; pEntry->pfnThunk != nullptr; ++pEntry) {
            if (pEntry->nMessage != nMessage)
                continue;
            if ((nMessage == WM_COMMAND || nMessage == kCommandUpdateMessage) && (pEntry->nCode != nCode || pEntry->nId != nId))
                continue;
            return pEntry;
        }
    }
    return nullptr;
}

bool CWnd::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const MessageMapEntry* pEntry = nMessage == WM_COMMAND ? FindEntry(nMessage, HIWORD(wParam), LOWORD(wParam))
                                                           : FindEntry(nMessage, 0, 0);
    if (pEntry == nullptr)
        return false;
    LRESULT lResult = 0;
    const bool bHandled = pEntry->pfnThunk(this, wParam, lParam, &lResult);
    if (pResult != nullptr)
        *pResult = lResult;
    return bHandled;
}

bool CWnd::OnCmdUpdate(CCmdUI* pCmdUI)
{
    const MessageMapEntry* pEntry = FindEntry(kCommandUpdateMessage, 0, pCmdUI->m_nID);
    if (pEntry == nullptr)
        return false;
    LRESULT lResult = 0;
    pEntry->pfnThunk(this, 0, reinterpret_cast<LPARAM>(pCmdUI), &lResult);
    return true;
}
