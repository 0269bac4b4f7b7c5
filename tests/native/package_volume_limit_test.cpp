// spdtool and a package of more volumes than a process may have files open: pack, verify,
// list and extract keep a few volumes open at a time, and a volume that will not open is
// reported with the system's reason.
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <sys/wait.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

class SpdtoolVolumeLimit : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 170000 incompressible bytes take user.spd and over a thousand volumes of 256 bytes.
        m_noise = RandomBytes(170000, 3);
        WriteAll(m_folder.File("noise.bin"), m_noise);
        const std::string strManifest = "name = Many\n"
                                        "id = {00112233-4455-6677-8899-AABBCCDDEEFF}\n"
                                        "file = Destination | | noise.bin | noise.bin\n";
        WriteAll(m_folder.File("m.txt"), Bytes(strManifest.begin(), strManifest.end()));
    }

    // Runs spdtool with at most nFiles files open; its exit code, stderr in m_strErr.
    int Run(unsigned nFiles, const std::string& strArgs)
    {
        const std::string strCommand = "ulimit -n " + std::to_string(nFiles) + " && exec " + ShellQuote(SPDTOOL_PATH) + " " +
                                       strArgs + " >" + ShellQuote(m_folder.File("out.txt")) + " 2>" +
                                       ShellQuote(m_folder.File("err.txt"));
        const int nStatus = std::system(strCommand.c_str());
        const Bytes err = ReadAll(m_folder.File("err.txt"));
        m_strErr.assign(err.begin(), err.end());
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }
    std::string Path(const std::string& strName) const { return ShellQuote(m_folder.File(strName)); }
    // Volumes alone are at stake here: no _setup.spd.
    int Pack(unsigned nFiles, const std::string& strVolumeSize)
    {
        return Run(nFiles, "pack " + Path("m.txt") + " -o " + Path("pkg") + " --no-uninstaller --volume-size " +
                               strVolumeSize);
    }

    CTempFolder m_folder;
    Bytes m_noise;
    std::string m_strErr;
};

TEST_F(SpdtoolVolumeLimit, ThousandVolumesWithSixtyFourOpenFiles)
{
    ASSERT_EQ(Pack(64, "256"), 0) << m_strErr;
    ASSERT_TRUE(fs::exists(m_folder.Path() / "pkg" / "user.1000"));
    EXPECT_EQ(Run(64, "verify " + Path("pkg")), 0) << m_strErr;
    EXPECT_EQ(Run(64, "list " + Path("pkg")), 0) << m_strErr;
    ASSERT_EQ(Run(64, "extract " + Path("pkg") + " -o " + Path("x")), 0) << m_strErr;
    EXPECT_TRUE(ReadAll(m_folder.File("x/Destination/noise.bin")) == m_noise);
}

TEST_F(SpdtoolVolumeLimit, VolumeThatWillNotOpenIsReportedWithTheReason)
{
    ASSERT_EQ(Pack(64, "100000"), 0) << m_strErr;
    // A file that refuses reading even to root: write-only in /proc/sys. (A tighter limit
    // of open files would do too, but the sanitizers need free descriptors of their own.)
    const fs::path refusing = "/proc/sys/vm/drop_caches";
    if (!fs::is_regular_file(refusing))
        GTEST_SKIP() << "no " << refusing;
    fs::remove(m_folder.Path() / "pkg" / "user.001");
    fs::create_symlink(refusing, m_folder.Path() / "pkg" / "user.001");
    EXPECT_EQ(Run(64, "verify " + Path("pkg")), 1);
    EXPECT_NE(m_strErr.find("user.001: cannot be opened: " + std::generic_category().message(EACCES)), std::string::npos)
        << m_strErr;
}

} // namespace
