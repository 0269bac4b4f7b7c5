// A run's placement in a fresh folder: the five root folders below it, the run's lists, a
// progress bar that counts its steps, and a file as extraction leaves it.
#pragma once

#include "app/setup_config.h"
#include "app/setup_thread_link.h"
#include "engine/deferred_entry.h"
#include "engine/installation_lists.h"
#include "format/package_records.h"
#include "engine/place_file.h"
#include "engine/root_folders.h"
#include "framework/handle.h"
#include "sys/my_exception.h"
#include "tests/native/package_test_support.h"
#include "tests/win/recording_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Runs the action and expects the silent end of a cancelled run.
inline void ExpectCancelled(const std::function<void()>& action)
{
    try {
        action();
        ADD_FAILURE() << "the cancel was not seen";
    } catch (CMyException* pException) {
        EXPECT_EQ(dynamic_cast<CSetupException*>(pException), nullptr) << "a cancel shows no message";
        pException->Delete();
    }
}

inline FileRecord MakeRecord(std::uint8_t nRoot, const std::string& strFolder, const std::string& strFileName,
                             std::uint8_t nFlags)
{
    FileRecord record;
    record.root = nRoot;
    record.flags = nFlags;
    EXPECT_TRUE(SetFieldText(record.folder, strFolder));
    EXPECT_TRUE(SetFieldText(record.fileName, strFileName));
    return record;
}

class CPlacementTest : public ::testing::Test {
protected:
    static constexpr const char* kNewContent = "the package's version";
    static constexpr const char* kOldContent = "what was there";

    CPlacementTest()
    {
        const char* const kRootNames[] = {"Windows", "System", "Program Files", "Common Files"};
        for (unsigned nRoot = Windows; nRoot <= CommonFiles; ++nRoot) {
            CreateDirectoryA(m_base.File(kRootNames[nRoot - 1]).c_str(), nullptr);
            m_roots.Set(nRoot, m_base.File(kRootNames[nRoot - 1]));
        }
        m_roots.Set(Destination, m_strDestination);
        WriteText(m_strExtracted, kNewContent);
        m_link.m_hWndProgress = m_progress.Handle();
    }

    ~CPlacementTest() override
    {
        // Pending copies lie in the system's temporary folder, outside m_base.
        std::vector<std::string> vecPending = m_lists.deferredReplacements;
        KeepPendingCopies(vecPending);
        for (const std::string& strPending : vecPending)
            DeleteFileA(strPending.c_str());
    }

    static void WriteText(const std::string& strPath, const std::string& strText)
    {
        WriteAll(strPath, Bytes(strText.begin(), strText.end()));
        EXPECT_EQ(ReadText(strPath), strText) << strPath;
    }

    static std::string ReadText(const std::string& strPath)
    {
        const CHandle file(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char buffer[256];
        DWORD nRead = 0;
        if (!file.IsValid() || !ReadFile(file.Get(), buffer, sizeof buffer, &nRead, nullptr))
            return "<unreadable>";
        return std::string(buffer, nRead);
    }

    void Place(const FileRecord& record) { m_placement.PlaceFile(m_strExtracted, record); }

    std::size_t Steps() const { return m_progress.Count(PBM_STEPIT); }

    CTempFolder m_base;
    const std::string m_strDestination = m_base.File("Program Files\\Lumidrop\\Aurora");
    const std::string m_strExtracted = m_base.File("extracted.tmp");
    const std::string m_strRunFolder = m_base.File(""); // the run's temporary folder, with its backslash
    CRootFolders m_roots;
    CSetupConfig m_config;
    CSetupThreadLink m_link;
    CRecordingWindow m_progress{PROGRESS_CLASSA, {PBM_STEPIT}};
    CInstallationLists m_lists;
    CFilePlacement m_placement{m_roots, m_config, m_link, m_lists, m_strRunFolder};
};
