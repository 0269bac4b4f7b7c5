// The destination page: its texts and proposed path, its controls through the run, the
// folder browser, and the destination check against the drive types Wine's mount
// manager gives.
#include "app/setup_config_ref.h"
#include "app/setup_thread_link.h"
#include "framework/handle.h"
#include "res/resource.h"
#include "sys/message_text.h"
#include "tests/win/setup_dialog_harness.h"
#include "ui/destination_page.h"

#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {
std::string Message(unsigned nId)
{
    std::string strText;
    EXPECT_TRUE(LoadMessage(nId, strText)) << nId;
    return strText;
}

// The page as the main dialog creates it, inside a modeless main template.
class DestinationPage : public ::testing::Test {
protected:
    void CreatePage()
    {
        ASSERT_TRUE(m_parent.Create(IDD_SETUP));
        ASSERT_TRUE(m_page.CreatePage(&m_parent));
    }
    std::string Text(int nId) const { return m_page.GetDlgItemText(nId); }

    CTestConfig m_config;
    CDialog m_parent{IDD_SETUP};
    CDestinationPage m_page;
};

// Wine's own mount-manager request (winecfg's) that gives a drive letter a Unix folder
// and a drive type, or takes the letter away again.
constexpr DWORD kDefineUnixDrive = CTL_CODE(static_cast<DWORD>('m'), 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDrive {
    ULONG nSize;
    ULONG nType;
    ULONG nFsType;
    DWORD nSerial;
    ULONGLONG nUnixDevice;
    WCHAR chLetter;
    USHORT nMountPointOffset;
    USHORT nDeviceOffset;
    USHORT nLabelOffset;
};

bool DefineDrive(char chLetter, const char* pszUnixFolder, ULONG nType)
{
    char buffer[sizeof(UnixDrive) + MAX_PATH] = {};
    auto* pDrive = reinterpret_cast<UnixDrive*>(buffer);
    pDrive->nSize = sizeof(UnixDrive);
    pDrive->nType = nType;
    pDrive->chLetter = static_cast<WCHAR>(chLetter);
    if (pszUnixFolder != nullptr) {
        std::strcpy(buffer + sizeof(UnixDrive), pszUnixFolder);
        pDrive->nMountPointOffset = sizeof(UnixDrive);
        pDrive->nSize += static_cast<ULONG>(std::strlen(pszUnixFolder) + 1);
    }
    const CHandle manager(CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD nReturned = 0;
    return manager.IsValid() &&
           DeviceIoControl(manager.Get(), kDefineUnixDrive, pDrive, pDrive->nSize, nullptr, 0, &nReturned, nullptr);
}

// A drive letter no drive uses, given a type for as long as the object lives.
class CScratchDrive {
public:
    CScratchDrive()
    {
        const DWORD nUsed = GetLogicalDrives();
        for (char ch = 'y'; ch > 'c' && m_chLetter == 0; --ch) {
            if ((nUsed & (1u << (ch - 'a'))) == 0)
                m_chLetter = ch;
        }
    }
    CScratchDrive(const CScratchDrive&) = delete;
    CScratchDrive& operator=(const CScratchDrive&) = delete;
    ~CScratchDrive()
    {
        if (m_chLetter != 0)
            DefineDrive(m_chLetter, nullptr, 0);
    }
    bool SetType(ULONG nType) const { return m_chLetter != 0 && DefineDrive(m_chLetter, "/tmp", nType); }
    std::string Path(const char* pszRest) const { return std::string(1, m_chLetter) + ":" + pszRest; }

private:
    char m_chLetter = 0;
};
} // namespace

TEST_F(DestinationPage, InitialisationSetsTextsAndProposesAFolder)
{
    struct Case {
        const char* pszDefaultDest;
        const char* pszExpected;
    };
    const Case kCases[] = {
        {"", "C:\\Program Files\\Night Lights"},
        {"D:\\Jeux\\Nuit", "D:\\Jeux\\Nuit"},
    };
    for (const Case& c : kCases) {
        m_config->m_strDefaultDest = c.pszDefaultDest;
        CDialog parent(IDD_SETUP);
        ASSERT_TRUE(parent.Create(IDD_SETUP));
        CDestinationPage page;
        ASSERT_TRUE(page.CreatePage(&parent));
        EXPECT_EQ(page.GetDlgItemText(IDC_DESTINATION), c.pszExpected);
        EXPECT_EQ(page.GetDlgItemText(IDC_INSTRUCTION), Message(78));
        EXPECT_EQ(page.GetDlgItemText(IDC_BROWSE), Message(45));
        EXPECT_EQ(page.GetDlgItemText(IDC_FOLDER_LABEL), Message(81));
        EXPECT_EQ(page.GetDlgItemText(IDC_PAGE_TEXT), "");
    }
}

TEST_F(DestinationPage, PathAndBrowseAreUsableOnlyBeforeTheRun)
{
    CreatePage();
    const LONG kPhases[] = {CSetupThreadLink::PHASE_NOT_STARTED, CSetupThreadLink::PHASE_PREPARING,
                            CSetupThreadLink::PHASE_COPYING, CSetupThreadLink::PHASE_COMPLETED};
    for (LONG nPhase : kPhases) {
        m_config->m_nPhase = nPhase;
        m_page.UpdatePage();
        const BOOL bExpected = nPhase == CSetupThreadLink::PHASE_NOT_STARTED;
        EXPECT_EQ(IsWindowEnabled(m_page.GetDlgItem(IDC_DESTINATION)), bExpected) << nPhase;
        EXPECT_EQ(IsWindowEnabled(m_page.GetDlgItem(IDC_BROWSE)), bExpected) << nPhase;
    }
}

TEST_F(DestinationPage, StatusTextAndStoredDestinationKeepEachOther)
{
    CreatePage();
    SetDlgItemTextA(m_page.m_hWnd, IDC_DESTINATION, "E:\\Ailleurs");
    m_page.SetStatusText("Etat");
    EXPECT_EQ(Text(IDC_PAGE_TEXT), "Etat");
    // Setting the status keeps what the user typed.
    EXPECT_EQ(Text(IDC_DESTINATION), "E:\\Ailleurs");
    m_page.StoreDestination();
    EXPECT_EQ(m_config->m_strDestination, "E:\\Ailleurs");
}

TEST(DestinationCheck, DriveMustBeFixedOrNetwork)
{
    CScratchDrive drive;
    struct Case {
        ULONG nType;
        DestinationVerdict expected;
    };
    const Case kCases[] = {
        {DRIVE_FIXED, DestinationVerdict::Accepted},      {DRIVE_REMOTE, DestinationVerdict::Accepted},
        {DRIVE_CDROM, DestinationVerdict::WrongDriveType}, {DRIVE_REMOVABLE, DestinationVerdict::WrongDriveType},
        {DRIVE_RAMDISK, DestinationVerdict::WrongDriveType},
    };
    for (const Case& c : kCases) {
        ASSERT_TRUE(drive.SetType(c.nType)) << "Wine's mount manager refused drive type " << c.nType;
        ASSERT_EQ(GetDriveTypeA(drive.Path("\\").c_str()), c.nType);
        EXPECT_EQ(CDestinationPage::CheckDestination(drive.Path("\\Nuit")), c.expected) << c.nType;
        EXPECT_EQ(CDestinationPage::CheckDestination(drive.Path("")), c.expected) << c.nType;
    }
    EXPECT_EQ(CDestinationPage::CheckDestination("C:\\Program Files\\Nuit"), DestinationVerdict::Accepted);
    // The byte rules come first; a path that breaks them never reaches the drive.
    EXPECT_EQ(CDestinationPage::CheckDestination("C:Nuit"), DestinationVerdict::NoBackslashAtRoot);
}

TEST(DestinationCheck, MissingDriveIsRefused)
{
    const CScratchDrive drive;
    EXPECT_EQ(CDestinationPage::CheckDestination(drive.Path("\\Nuit")), DestinationVerdict::WrongDriveType);
    EXPECT_EQ(CDestinationPage::CheckDestination("ab\\Nuit"), DestinationVerdict::WrongDriveType);
}

namespace {
struct BrowserSearch {
    HWND hMain;
    HWND hFound;
};

BOOL CALLBACK NoteOwnedWindow(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<BrowserSearch*>(lParam);
    if (hWnd != pSearch->hMain && IsWindowVisible(hWnd) && GetWindow(hWnd, GW_OWNER) == pSearch->hMain)
        pSearch->hFound = hWnd;
    return pSearch->hFound == nullptr;
}

// The shell's folder browser, once it is up: a window of the page's thread owned by the
// main dialog.
HWND FindFolderBrowser(DWORD nThreadId, HWND hMain)
{
    BrowserSearch search = {hMain, nullptr};
    EnumThreadWindows(nThreadId, NoteOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}
} // namespace

TEST(DestinationBrowse, StartsAtTheTypedPathAndWritesTheChoiceBack)
{
    struct Case {
        const char* pszTyped;
        int nButton;
        const char* pszAfter;
    };
    const Case kCases[] = {
        {"C:\\WINDOWS\\SYSTEM32", IDOK, "C:\\windows\\system32"},
        {"C:\\WINDOWS", IDCANCEL, "C:\\WINDOWS"},
    };
    for (const Case& c : kCases) {
        CTestConfig config;
        CTestSetupDialog dialog;
        std::string strAfter;
        dialog.m_steps = {
            [&c](CTestSetupDialog& d) {
                SetWindowTextA(d.PathField(), c.pszTyped);
                // Answers the browser from another thread while this one runs it.
                const DWORD nThreadId = GetCurrentThreadId();
                std::thread([nThreadId, hMain = d.m_hWnd, nButton = c.nButton] {
                    HWND hBrowser = nullptr;
                    for (int i = 0; i < 100 && hBrowser == nullptr; ++i, Sleep(50))
                        hBrowser = FindFolderBrowser(nThreadId, hMain);
                    if (hBrowser != nullptr)
                        PostMessageA(hBrowser, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(GetDlgItem(hBrowser, nButton)));
                }).detach();
                SendMessageA(d.DestinationPage(), WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(d.DestinationPage(), IDC_BROWSE)));
            },
            [&strAfter](CTestSetupDialog& d) {
                char szPath[MAX_PATH] = "";
                GetWindowTextA(d.PathField(), szPath, sizeof szPath);
                strAfter = szPath;
                d.EndDialog(IDCANCEL);
            },
        };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(strAfter, c.pszAfter) << c.pszTyped;
    }
}
