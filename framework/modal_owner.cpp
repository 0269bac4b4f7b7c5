#include "framework/modal_owner.h"

#include "framework/app.h"

namespace {
// Each thread has its own nesting of modal dialogs.
thread_local CModalScope* t_pInnermost = nullptr;
} // namespace

CModalScope::CModalScope(const HWND& hDialog) : m_hDialog(hDialog), m_pOuter(t_pInnermost)
{
    t_pInnermost = this;
}

CModalScope::~CModalScope()
{
    t_pInnermost = m_pOuter;
}

HWND GetModalOwner()
{
    for (const CModalScope* pScope = t_pInnermost; pScope != nullptr; pScope = pScope->m_pOuter) {
        if (pScope->m_hDialog != nullptr && IsWindow(pScope->m_hDialog))
            return pScope->m_hDialog;
    }
    HWND hMain = GetMainWindowHandle();
    return hMain != nullptr && IsWindow(hMain) ? hMain : nullptr;
}
