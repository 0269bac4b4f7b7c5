// CPageSequence: the main dialog's pages in order, one of them current.
//
// Invariant: m_pCurrent is the page at m_nCurrent, or null with m_nCurrent -1. The
// sequence owns its pages and gives each one up with ReleasePage.
#pragma once

#include "app/setup_page.h"

#include <vector>

class CPageSequence {
public:
    CPageSequence() = default;
    CPageSequence(const CPageSequence&) = delete;
    CPageSequence& operator=(const CPageSequence&) = delete;
    ~CPageSequence();

    // Appends pPage; FALSE, with the page not taken, when memory runs out.
    BOOL Add(ISetupPage* pPage);

    // Makes page nIndex current once the current one has let go; the result is the new
    // page's Activate. FALSE, with nothing changed, when there is no such page or the
    // current page refuses to go.
    BOOL GoTo(int nIndex);

    // From no page to the first; from any page but the last to the next, as GoTo. On the
    // last page every page is asked CanFinish in order, and if all agree the result is
    // the current page's Finish.
    BOOL Next();

    // The current page's UpdatePage; FALSE when no page is current.
    BOOL UpdateCurrent();

    // Page nIndex, or null beyond the last.
    ISetupPage* PageAt(int nIndex) const;

    // Releases every page in order and leaves the sequence empty, without a current page.
    void RemoveAll();

    ISetupPage* GetCurrent() const { return m_pCurrent; }
    int GetCurrentIndex() const { return m_nCurrent; }
    int GetCount() const { return static_cast<int>(m_pages.size()); }

private:
    // Switches to page nIndex once the current page, if any, has let go.
    BOOL MoveTo(int nIndex);

    ISetupPage* m_pCurrent = nullptr;
    std::vector<ISetupPage*> m_pages;
    int m_nCurrent = -1;
};
