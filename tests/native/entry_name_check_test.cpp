// The gate that keeps package folders and file names below their root folder.
#include "engine/entry_name_check.h"
#include "format/package_records.h"
#include "sys/my_exception.h"

#include <gtest/gtest.h>

TEST(EntryNameCheck, RefusesWhatLeavesTheRoot)
{
    struct Case {
        const char* pszPath;
        bool bContained;
    };
    const Case kCases[] = {
        {"", true}, {"Sub", true}, {"Sub\\Deep", true}, {"Sub/Deep", true}, {"lumi.dll", true}, {"...", true},
        {"..x", true}, {"x..", true}, {".\\x", true}, {"Sub\\\\x", true}, {"Sub\\", true}, {"\xE9\x63ran", true},
        {"..", false}, {"..\\x", false}, {"Sub\\..", false}, {"Sub\\..\\..\\x", false}, {"Sub/../x", false},
        {"\\abs", false}, {"/abs", false}, {"C:\\x", false}, {"C:x", false}, {"lumi.dll:stream", false},
        {"a\x01" "b", false}, {"tab\there", false},
    };
    for (const Case& c : kCases) {
        std::string strWhy;
        EXPECT_EQ(IsContainedEntryPath(c.pszPath, strWhy), c.bContained) << c.pszPath;
        EXPECT_EQ(strWhy.empty(), c.bContained) << c.pszPath;
    }
}

namespace {
// The phase and cause messages of the damaged-file exception check() raises, or 0, 0.
template <typename Check>
std::pair<unsigned, unsigned> RaisedMessages(Check check)
{
    try {
        check();
    } catch (CSetupException* pError) {
        const std::pair<unsigned, unsigned> messages{pError->m_nPhaseMessage, pError->m_nCauseMessage};
        pError->Delete();
        return messages;
    }
    return {0, 0};
}

FileRecord Record(const char* pszFolder, const char* pszName)
{
    FileRecord record;
    SetFieldText(record.folder, pszFolder);
    SetFieldText(record.fileName, pszName);
    return record;
}
} // namespace

TEST(EntryNameCheck, DirectoryPathIsDamagedInTheFolderPhase)
{
    const std::pair<unsigned, unsigned> kDamaged{CSetupException::PhaseMessage(PHASE_FOLDERS),
                                                 CSetupException::CauseMessage(CAUSE_DAMAGED)};
    EXPECT_EQ(RaisedMessages([] { CheckDirectoryEntryPath("Sub\\..\\..\\Windows"); }), kDamaged);
    EXPECT_EQ(RaisedMessages([] { CheckDirectoryEntryPath("Sub\\Deep"); }), std::make_pair(0u, 0u));
}

TEST(EntryNameCheck, FileRecordIsDamagedInTheFilePhase)
{
    const std::pair<unsigned, unsigned> kDamaged{CSetupException::PhaseMessage(PHASE_FILES),
                                                 CSetupException::CauseMessage(CAUSE_DAMAGED)};
    struct Case {
        const char* pszFolder;
        const char* pszName;
        bool bDamaged;
    };
    const Case kCases[] = {
        {"", "lumi.scr", false}, {"Sub", "lumi.scr", false}, {"..", "lumi.scr", true},
        {"Sub", "..\\..\\win.ini", true}, {"C:\\Windows", "lumi.scr", true}, {"", "C:lumi.scr", true},
    };
    for (const Case& c : kCases) {
        const FileRecord record = Record(c.pszFolder, c.pszName);
        EXPECT_EQ(RaisedMessages([&record] { CheckFileEntryNames(record); }),
                  c.bDamaged ? kDamaged : std::make_pair(0u, 0u))
            << c.pszFolder << " | " << c.pszName;
    }
}
