// A package spread over three volumes, written into "Disk 1" of a fresh folder as if
// that were the setup program's folder, with the run's temporary folder beside it.
#pragma once

#include "app/setup_thread_link.h"
#include "format/package_writer.h"
#include "engine/scripted_disk_prompt.h"
#include "tests/native/package_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// One file of incompressible bytes: with volumes of half its size, the stream takes
// exactly three of them.
inline PackageContents SpannedContents(std::size_t nDataSize, unsigned nSeed)
{
    PackageContents contents;
    contents.strName = "Aurora";
    contents.packageId[0] = static_cast<std::uint8_t>(nSeed);
    PackageFileEntry file;
    file.strFileName = "aurora.scr";
    file.content = RandomBytes(nDataSize, nSeed);
    contents.vecFiles.push_back(file);
    return contents;
}

class CSpannedPackageTest : public ::testing::Test {
protected:
    static constexpr std::size_t kSmallData = 4000;

    void WriteSpanned(std::size_t nDataSize)
    {
        m_contents = SpannedContents(nDataSize, 1);
        m_written = WritePackage(m_contents, m_strSetupFolder, nDataSize / 2);
        ASSERT_EQ(m_written.vecVolumePaths.size(), 3u);
    }

    // root\strName\, created.
    std::string Folder(const std::string& strName) const
    {
        const std::string strFolder = m_root.File(strName);
        CreateDirectoryA(strFolder.c_str(), nullptr);
        return strFolder + "\\";
    }

    // Moves volume nVolume from the setup folder into strFolder; returns its new path.
    std::string MoveVolume(unsigned nVolume, const std::string& strFolder) const
    {
        const std::string strTarget = strFolder + VolumeFileName(nVolume);
        EXPECT_TRUE(MoveFileA(m_written.vecVolumePaths[nVolume].c_str(), strTarget.c_str()));
        return strTarget;
    }

    CTempFolder m_root;
    const std::string m_strSetupFolder = Folder("Disk 1");
    const std::string m_strTempFolder = Folder("temp");
    PackageContents m_contents;
    PackageWriteResult m_written;
    CSetupThreadLink m_link;
    std::vector<std::string> tempFiles;
    std::vector<std::string> volumeCopies;
};
