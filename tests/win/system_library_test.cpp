// Libraries the programs load for themselves come from the system, never from the program's
// folder or the current folder, and the version and common-controls calls go through them.
#include "engine/version_facts_win32.h"
#include "engine/version_library.h"
#include "framework/common_controls.h"
#include "framework/system_library.h"
#include "tests/win/program_folder.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {
// A name no system has: a library of this name can only be one planted by the test.
const char kPlantedName[] = "lumidrop-planted.dll";

std::string Lower(std::string strText)
{
    std::transform(strText.begin(), strText.end(), strText.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return strText;
}

// The DLLs this program's import table names, in lower case.
std::vector<std::string> ImportedLibraries()
{
    const auto* pBase = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    const auto* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    const auto* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> vecNames;
    for (const auto* pEntry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
         pEntry->Name != 0; ++pEntry)
        vecNames.push_back(Lower(reinterpret_cast<const char*>(pBase + pEntry->Name)));
    return vecNames;
}

std::string ModuleFile(HMODULE hModule)
{
    char szPath[MAX_PATH] = "";
    GetModuleFileNameA(hModule, szPath, sizeof szPath);
    return Lower(szPath);
}

std::string WindowsFolder()
{
    char szPath[MAX_PATH] = "";
    GetWindowsDirectoryA(szPath, sizeof szPath);
    return Lower(szPath);
}

// A DLL (a probe of the version tests) copied under kPlantedName beside this program and
// into a fresh current folder, where an ordinary search finds it; removed at the end.
class CPlantedLibrary {
public:
    CPlantedLibrary()
        : m_strBeside(TestProgramFolder() + "\\" + kPlantedName)
    {
        const std::string strProbe = TestProgramFolder() + "\\probe0.dll";
        m_bPlanted = CopyFileA(strProbe.c_str(), m_strBeside.c_str(), FALSE) &&
                     CopyFileA(strProbe.c_str(), m_current.File(kPlantedName).c_str(), FALSE);
        GetCurrentDirectoryA(sizeof m_szPrevious, m_szPrevious);
        SetCurrentDirectoryA(m_current.Path().c_str());
    }
    CPlantedLibrary(const CPlantedLibrary&) = delete;
    CPlantedLibrary& operator=(const CPlantedLibrary&) = delete;
    ~CPlantedLibrary()
    {
        SetCurrentDirectoryA(m_szPrevious);
        DeleteFileA(m_strBeside.c_str());
    }

    bool IsPlanted() const { return m_bPlanted; }

private:
    CTempFolder m_current;
    std::string m_strBeside;
    char m_szPrevious[MAX_PATH] = "";
    bool m_bPlanted = false;
};

TEST(SystemLibrary, VersionAndControlCallsNeedNoImportOfTheirLibraries)
{
    const std::vector<std::string> vecImports = ImportedLibraries();
    ASSERT_FALSE(vecImports.empty());
    for (const char* pszLibrary : {"version.dll", "comctl32.dll"})
        EXPECT_EQ(std::count(vecImports.begin(), vecImports.end(), pszLibrary), 0) << pszLibrary;

    EXPECT_GT(CSystemVersionFacts().VersionSize(TestProgramFolder() + "\\probe1.dll"), 0u);
    EXPECT_TRUE(RegisterControlClasses(ICC_PROGRESS_CLASS));
}

// The system's copy, or for the common controls the side-by-side store's version 6 that
// the manifest asks for.
TEST(SystemLibrary, LibrariesOfTheCallsAreTheSystems)
{
    const std::string strSystem = Lower(SystemLibraryPath(""));
    const struct {
        HMODULE hModule;
        const char* pszName;
    } libraries[] = {{VersionModule(), "version.dll"}, {CommonControlsModule(), "comctl32.dll"}};
    for (const auto& library : libraries) {
        ASSERT_NE(library.hModule, nullptr) << library.pszName;
        const std::string strFile = ModuleFile(library.hModule);
        const std::string strName = library.pszName;
        const bool bSystem = strFile == strSystem + strName;
        const bool bSideBySide = strFile.rfind(WindowsFolder() + "\\winsxs\\", 0) == 0 &&
                                 strFile.size() > strName.size() &&
                                 strFile.compare(strFile.size() - strName.size() - 1, std::string::npos, "\\" + strName) == 0;
        EXPECT_TRUE(bSystem || bSideBySide) << strFile;
    }
}

TEST(SystemLibrary, LoaderNeverTakesALibraryFromTheProgramFolderOrTheCurrentFolder)
{
    const CPlantedLibrary planted;
    ASSERT_TRUE(planted.IsPlanted());
    // An ordinary load finds the planted file, so the loader's refusal below is its own.
    const HMODULE hOrdinary = LoadLibraryA(kPlantedName);
    ASSERT_NE(hOrdinary, nullptr);
    FreeLibrary(hOrdinary);
    ASSERT_EQ(GetModuleHandleA(kPlantedName), nullptr);

    const CLibrary library = LoadSystemLibrary(kPlantedName);
    EXPECT_EQ(library.Get(), nullptr) << ModuleFile(library.Get());
}

// Changes the search of the whole process: CTest runs each test in a process of its own.
TEST(SystemLibrary, RestrictedSearchSkipsTheProgramFolderAndTheCurrentFolder)
{
    const CPlantedLibrary planted;
    ASSERT_TRUE(planted.IsPlanted());
    RestrictLibrarySearch();
    const CLibrary library(LoadLibraryA(kPlantedName));
    EXPECT_EQ(library.Get(), nullptr) << ModuleFile(library.Get());
}
} // namespace
