#include "app/page_sequence.h"

#include <new>

CPageSequence::~CPageSequence()
{
    RemoveAll();
}

BOOL CPageSequence::Add(ISetupPage* pPage)
{
    try {
        m_pages.push_back(pPage);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CPageSequence::MoveTo(int nIndex)
{
    if (m_pCurrent != nullptr && !m_pCurrent->Deactivate(TRUE))
        return FALSE;
    m_nCurrent = nIndex;
    m_pCurrent = m_pages[static_cast<std::size_t>(nIndex)];
    return m_pCurrent->Activate() ? TRUE : FALSE;
}

BOOL CPageSequence::GoTo(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    return MoveTo(nIndex);
}

BOOL CPageSequence::Next()
{
    if (m_pages.empty())
        return FALSE;
    if (m_nCurrent == GetCount() - 1) {
        for (ISetupPage* pPage : m_pages) {
            if (!pPage->CanFinish(0))
                return FALSE;
        }
        return m_pCurrent->Finish(0);
    }
    return MoveTo(m_nCurrent + 1);
}

BOOL CPageSequence::UpdateCurrent()
{
    if (m_pCurrent == nullptr)
        return FALSE;
    m_pCurrent->UpdatePage();
    return TRUE;
}

ISetupPage* CPageSequence::PageAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    return m_pages[static_cast<std::size_t>(nIndex)];
}

void CPageSequence::RemoveAll()
{
    // Cleared before the pages go, so that nothing reaches a released page meanwhile.
    std::vector<ISetupPage*> pages;
    pages.swap(m_pages);
    m_pCurrent = nullptr;
    m_nCurrent = -1;
    for (ISetupPage* pPage : pages)
        pPage->ReleasePage();
}
