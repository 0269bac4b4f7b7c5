#include "sys/folder_browser.h"

#include "sys/item_list.h"

namespace {
// The folder can be selected only once the browser's tree exists.
int CALLBACK SelectInitialFolder(HWND hBrowser, UINT nMessage, LPARAM, LPARAM lpData)
{
    if (nMessage == BFFM_INITIALIZED)
        SendMessageA(hBrowser, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}
} // namespace

bool BrowseForFolder(HWND hOwner, const std::string& strTitle, const std::string& strInitial, std::string& strChosen)
{
    CItemList drives;
    // Without the drives' list the browser starts at the desktop, which still works.
    SHGetSpecialFolderLocation(hOwner, CSIDL_DRIVES, drives.Receive());

    char szDisplayName[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = hOwner;
    info.pidlRoot = drives.Get();
    info.pszDisplayName = szDisplayName;
    info.lpszTitle = strTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(strInitial.c_str());
    const CItemList chosen(SHBrowseForFolderA(&info));
    if (chosen.Get() == nullptr)
        return false;
    char szPath[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(chosen.Get(), szPath))
        return false;
    strChosen = szPath;
    return true;
}
