// Package files on Windows: the reader over the framework's file class, with the sharing
// a setup file is read under, and more volumes open at once than the C runtime allows.
#include "format/package_reader.h"
#include "format/plain_file.h"
#include "format/package_writer.h"
#include "tests/native/package_test_support.h"

#include <gtest/gtest.h>

namespace {
PackageContents SmallContents()
{
    PackageContents contents;
    contents.strName = "Aurora";
    contents.strDefaultFolder = "Lumidrop";
    contents.vecDirectories = {{Destination, "Data"}};
    PackageFileEntry file;
    file.root = Destination;
    file.strFolder = "Data";
    file.strFileName = "aurora.ini";
    file.content = TextBytes(300000);
    contents.vecFiles.push_back(file);
    return contents;
}
} // namespace

TEST(PlainFileOnWindows, ReaderReadsAPackageThroughTheFrameworkFile)
{
    CTempFolder folder;
    const std::string strFolder = folder.Path().string();
    const PackageContents contents = SmallContents();
    WritePackage(contents, strFolder);

    CPlainFile headerFile;
    const SetupHeader header = ReadSetupHeader(headerFile, strFolder + "\\user.spd");
    CPlainFile stream;
    ASSERT_TRUE(stream.Open(strFolder + "\\user.spd"));
    CPackageReader reader(stream, header);
    reader.VerifyStream();
    ASSERT_TRUE(reader.ReadDirectoryTable().has_value());
    reader.BeginFileSection();
    FileRecord record;
    ASSERT_TRUE(reader.ReadNextFileEntry(record));
    CCollectSink sink;
    reader.InflateDataBlock(&sink);
    EXPECT_EQ(sink.m_bytes, *contents.vecFiles[0].content);
    EXPECT_FALSE(reader.ReadNextFileEntry(record));
}

TEST(PlainFileOnWindows, OpenPackageShutsOutOtherOpens)
{
    CTempFolder folder;
    const std::string strPath = folder.Path().string() + "\\user.spd";
    WritePackage(SmallContents(), folder.Path().string());

    CPlainFile first;
    ASSERT_TRUE(first.Open(strPath));
    CPlainFile second;
    EXPECT_FALSE(second.Open(strPath));
    first.Close();
    EXPECT_TRUE(second.Open(strPath));
}

TEST(PlainFileOnWindows, MissingPackageIsAFileErrorOfThePreparation)
{
    CTempFolder folder;
    CPlainFile file;
    ExpectSetupFailure(1, 2, [&] { ReadSetupHeader(file, folder.Path().string() + "\\user.spd"); });
}

TEST(PlainFileOnWindows, ReadsAreShortOnlyAtTheEnd)
{
    CTempFolder folder;
    const std::string strPath = folder.Path().string() + "\\user.spd";
    WritePackage(SmallContents(), folder.Path().string());
    CPlainFile file;
    ASSERT_TRUE(file.Open(strPath));
    const std::uint64_t nLength = file.GetLength();
    std::vector<unsigned char> buffer(1000);
    file.Seek(nLength - 10);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 10u);
    EXPECT_EQ(file.GetPosition(), nLength);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 0u);
    file.Seek(nLength + 5);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 0u);
}

TEST(PlainFileOnWindows, CreateOnlyMakesANewFileAndLeavesAnExistingOneWhole)
{
    CTempFolder folder;
    const std::string strPath = folder.Path().string() + "\\new.tmp";
    CPlainFile file;
    ASSERT_TRUE(file.CreateOnlyReadWrite(strPath));
    file.Write("abc", 3);
    CPlainFile whileOpen;
    EXPECT_FALSE(whileOpen.CreateOnlyReadWrite(strPath));
    file.Close();
    CPlainFile again;
    EXPECT_FALSE(again.CreateOnlyReadWrite(strPath));
    EXPECT_EQ(ReadAll(strPath), Bytes({'a', 'b', 'c'}));
}
