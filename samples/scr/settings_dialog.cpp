#include "scr/settings_dialog.h"

#include "scr/resource.h"
#include "scr/saver_settings.h"

namespace {

struct SDialogState {
    std::string strPath;
};

// Reads one field; false (with the field focused and a box saying why) when it is out of range.
bool ReadField(HWND hDialog, int nId, int nMin, int nMax, const char* pszWhat, int& nValue)
{
    BOOL bNumber = FALSE;
    const UINT nRead = GetDlgItemInt(hDialog, nId, &bNumber, FALSE);
    if (bNumber && static_cast<int>(nRead) >= nMin && static_cast<int>(nRead) <= nMax) {
        nValue = static_cast<int>(nRead);
        return true;
    }
    const std::string strText =
        std::string(pszWhat) + " must be a number from " + std::to_string(nMin) + " to " + std::to_string(nMax) + ".";
    MessageBoxA(hDialog, strText.c_str(), "Lumidrop", MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(hDialog, nId));
    SendDlgItemMessageA(hDialog, nId, EM_SETSEL, 0, -1);
    return false;
}

void OnOk(HWND hDialog, const SDialogState& state)
{
    SSaverSettings settings;
    if (!ReadField(hDialog, IDC_DROPS, SSaverSettings::kMinDrops, SSaverSettings::kMaxDrops, "Drops", settings.nDrops) ||
        !ReadField(hDialog, IDC_SPEED, SSaverSettings::kMinSpeed, SSaverSettings::kMaxSpeed, "Speed", settings.nSpeed))
        return;
    if (!SaveSettings(state.strPath, settings)) {
        // A screensaver in the system folder may not be allowed to write there; say where.
        const std::string strText = "The settings could not be saved to " + state.strPath + ".";
        MessageBoxA(hDialog, strText.c_str(), "Lumidrop", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(hDialog, IDOK);
}

INT_PTR CALLBACK SettingsProc(HWND hDialog, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(hDialog, DWLP_USER, lParam);
        const auto* pState = reinterpret_cast<const SDialogState*>(lParam);
        const SSaverSettings settings = LoadSettings(pState->strPath);
        SetDlgItemInt(hDialog, IDC_DROPS, static_cast<UINT>(settings.nDrops), FALSE);
        SetDlgItemInt(hDialog, IDC_SPEED, static_cast<UINT>(settings.nSpeed), FALSE);
        SendDlgItemMessageA(hDialog, IDC_DROPS, EM_LIMITTEXT, 3, 0);
        SendDlgItemMessageA(hDialog, IDC_SPEED, EM_LIMITTEXT, 2, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            // Nothing may throw through the dialog manager; a failure leaves the dialog open.
            try {
                OnOk(hDialog, *reinterpret_cast<const SDialogState*>(GetWindowLongPtrA(hDialog, DWLP_USER)));
            } catch (...) {
                MessageBoxA(hDialog, "The settings could not be saved.", "Lumidrop", MB_OK | MB_ICONEXCLAMATION);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void RunSettingsDialog(HINSTANCE hInstance, HWND hParent, const std::string& strSettingsPath)
{
    SDialogState state{strSettingsPath};
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), hParent, SettingsProc,
                    reinterpret_cast<LPARAM>(&state));
}
