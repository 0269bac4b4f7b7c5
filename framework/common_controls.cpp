#include "framework/common_controls.h"

#include "framework/system_library.h"

namespace {
const CLibrary& Library()
{
    static const CLibrary s_library = LoadSystemLibrary("comctl32.dll");
    return s_library;
}

// The export NAME of the library, typed like the function of the same name in the headers.
template <class TProc>
TProc Export(const char* pszName)
{
    return Library().Find<TProc>(pszName);
}
} // namespace

HMODULE CommonControlsModule()
{
    return Library().Get();
}

bool RegisterControlClasses(DWORD nClasses)
{
    static const auto s_pInit = Export<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls = {sizeof controls, nClasses};
    return s_pInit != nullptr && s_pInit(&controls) != FALSE;
}

BOOL SubclassControl(HWND hWnd, SUBCLASSPROC pProc, UINT_PTR nId, DWORD_PTR nData)
{
    static const auto s_pSet = Export<decltype(&SetWindowSubclass)>("SetWindowSubclass");
    return s_pSet != nullptr && s_pSet(hWnd, pProc, nId, nData);
}

LRESULT DefaultSubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // Only reached from a subclass the library installed, so the library is there.
    static const auto s_pDefault = Export<decltype(&DefSubclassProc)>("DefSubclassProc");
    return s_pDefault(hWnd, nMessage, wParam, lParam);
}

BOOL RemoveControlSubclass(HWND hWnd, SUBCLASSPROC pProc, UINT_PTR nId)
{
    static const auto s_pRemove = Export<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass");
    return s_pRemove != nullptr && s_pRemove(hWnd, pProc, nId);
}
