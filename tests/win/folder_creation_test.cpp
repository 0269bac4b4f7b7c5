// Creating the destination and the package's folders: their order, the question about a
// folder that exists, folders that cannot be made, damaged tables, and the cancel.
#include "engine/file_helpers.h"
#include "engine/folder_creation.h"
#include "engine/folder_tree.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/placement_fixture.h"

#include <vector>

namespace {
constexpr unsigned kFolderExistsMessage = 169;

std::string Formatted(unsigned nMessage, const std::string& strInsert)
{
    std::string strText;
    FormatOne(strText, nMessage, strInsert.c_str());
    return strText;
}
} // namespace

class FolderCreation : public CPlacementTest {
protected:
    void Create(const std::vector<DirectoryEntry>& table)
    {
        CreatePackageFolders(m_strDestination, table, m_roots, m_link, m_lists.createdFolders);
    }

    std::string InDestination(const std::string& strPath) const { return m_strDestination + "\\" + strPath; }
    // The levels a run records when it creates the destination, parent first, then vecAfter.
    std::vector<std::string> DestinationAnd(const std::vector<std::string>& vecAfter = {}) const
    {
        std::vector<std::string> vecCreated = {m_strParent, m_strDestination};
        vecCreated.insert(vecCreated.end(), vecAfter.begin(), vecAfter.end());
        return vecCreated;
    }
    void RemoveDestination() const
    {
        RemoveDirectoryA(m_strDestination.c_str());
        RemoveDirectoryA(m_strParent.c_str());
    }
    const std::string m_strWindows = m_base.File("Windows");
    const std::string m_strParent = m_base.File("Program Files\\Lumidrop");
};

TEST_F(FolderCreation, DestinationThenTableFoldersInPathOrder)
{
    CMessageBoxRecorder boxes;
    // Stored out of order, one with the backslashes that mean nothing.
    Create({{Destination, "Sub\\Deep"}, {Windows, "\\Media\\"}, {Destination, "Sub"}});
    EXPECT_EQ(m_lists.createdFolders,
              DestinationAnd({InDestination("Sub"), InDestination("Sub\\Deep"), m_strWindows + "\\Media"}));
    for (const std::string& strFolder : m_lists.createdFolders)
        EXPECT_TRUE(FolderExists(strFolder)) << strFolder;
    EXPECT_TRUE(boxes.m_boxes.empty());
    EXPECT_EQ(m_link.m_nCancelChecks, 3u);
}

TEST_F(FolderCreation, TableFolderRecordsEveryLevelItCreates)
{
    Create({{Destination, "Sub\\Deep"}});
    EXPECT_EQ(m_lists.createdFolders, DestinationAnd({InDestination("Sub"), InDestination("Sub\\Deep")}));
}

TEST_F(FolderCreation, ExistingDestinationIsUsedWithoutAQuestion)
{
    ASSERT_TRUE(CreateFolderTree(m_strDestination));
    CMessageBoxRecorder boxes;
    Create({{Destination, "Data"}});
    EXPECT_EQ(m_lists.createdFolders, std::vector<std::string>{InDestination("Data")});
    EXPECT_TRUE(boxes.m_boxes.empty());
}

TEST_F(FolderCreation, ExistingTableFolderIsUsedOnlyAfterYes)
{
    const std::string strMedia = m_strWindows + "\\Media";
    ASSERT_TRUE(CreateDirectoryA(strMedia.c_str(), nullptr));
    for (const int nAnswer : {IDYES, IDNO}) {
        SCOPED_TRACE(nAnswer);
        m_lists.createdFolders.clear();
        CMessageBoxRecorder boxes(nAnswer);
        const std::vector<DirectoryEntry> table = {{Windows, "Media"}, {Windows, "Media\\Sounds"}};
        if (nAnswer == IDYES)
            Create(table);
        else
            ExpectSetupFailure(PHASE_FOLDERS, CAUSE_CANNOT_PROCEED, [&] { Create(table); });
        ASSERT_EQ(boxes.m_boxes.size(), 1u);
        EXPECT_EQ(boxes.m_boxes[0].strText, Formatted(kFolderExistsMessage, strMedia));
        EXPECT_EQ(boxes.m_boxes[0].nStyle, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
        // Neither answer makes the folder the run's own; only Yes goes on to the next one.
        EXPECT_EQ(m_lists.createdFolders,
                  nAnswer == IDYES ? DestinationAnd({strMedia + "\\Sounds"}) : DestinationAnd());
        EXPECT_EQ(FolderExists(strMedia + "\\Sounds"), nAnswer == IDYES);
        RemoveDirectoryA((strMedia + "\\Sounds").c_str());
        RemoveDestination();
    }
}

TEST_F(FolderCreation, FolderThatCannotBeCreatedEndsTheSetup)
{
    struct Case {
        const char* pszWhat;
        std::string strBlocked; // a file where a folder level must go
        bool bBarePathBox;
    };
    const Case kCases[] = {
        {"the destination", m_base.File("Program Files\\Lumidrop"), false},
        {"a table folder", InDestination("Data"), true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(CreateFolderTree(c.strBlocked.substr(0, c.strBlocked.rfind('\\'))));
        WriteText(c.strBlocked, "x");
        m_lists.createdFolders.clear();
        CMessageBoxRecorder boxes;
        const std::string strFolder = InDestination("Data\\Deep");
        ExpectSetupFailure(PHASE_FOLDERS, CAUSE_CREATE_FOLDER, [&] { Create({{Destination, "Data\\Deep"}}); });
        if (c.bBarePathBox) {
            ASSERT_EQ(boxes.m_boxes.size(), 1u);
            EXPECT_EQ(boxes.m_boxes[0].strText, strFolder);
            EXPECT_EQ(boxes.m_boxes[0].nStyle, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
        } else {
            EXPECT_TRUE(boxes.m_boxes.empty());
            EXPECT_TRUE(m_lists.createdFolders.empty());
        }
        EXPECT_FALSE(FolderExists(strFolder));
        DeleteFileA(c.strBlocked.c_str());
    }
}

TEST_F(FolderCreation, DamagedTableIsRefused)
{
    struct Case {
        const char* pszWhat;
        std::vector<DirectoryEntry> table;
        unsigned nCause;
        std::vector<std::string> vecCreated;
    };
    const Case kCases[] = {
        // Checked before anything is made: not even the destination.
        {"'..' climbing out of the root", {{Destination, "Data"}, {Destination, "Data\\..\\..\\..\\..\\Out"}}, CAUSE_DAMAGED, {}},
        {"a root without a folder", {{Destination, "Data"}, {CommonFiles, "Lumidrop"}}, CAUSE_UNEXPECTED,
         DestinationAnd({InDestination("Data")})},
        {"a folder the uninstall log could not name whole", {{Destination, "Data"}, {Destination, std::string(250, 'f')}},
         CAUSE_UNEXPECTED, DestinationAnd({InDestination("Data")})},
    };
    m_roots = CRootFolders();
    m_roots.Set(Windows, m_strWindows);
    m_roots.Set(Destination, m_strDestination);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        m_lists.createdFolders.clear();
        CMessageBoxRecorder boxes;
        ExpectSetupFailure(PHASE_FOLDERS, c.nCause, [&] { Create(c.table); });
        EXPECT_EQ(m_lists.createdFolders, c.vecCreated);
        EXPECT_EQ(FolderExists(m_strDestination), !c.vecCreated.empty());
        EXPECT_FALSE(FolderExists(m_base.File("Out")));
        EXPECT_TRUE(boxes.m_boxes.empty());
        RemoveDirectoryA(InDestination("Data").c_str());
        RemoveDestination();
    }
}

TEST_F(FolderCreation, CancelStopsAtTheFirstEntry)
{
    SetEvent(m_link.m_hCancelEvent.Get());
    ExpectCancelled([&] { Create({{Destination, "Sub"}, {Destination, "Other"}}); });
    EXPECT_EQ(m_link.m_nCancelChecks, 1u);
    // The destination comes before the first check, and its roll-back is recorded.
    EXPECT_EQ(m_lists.createdFolders, DestinationAnd());
    EXPECT_FALSE(FolderExists(InDestination("Sub")));
}
