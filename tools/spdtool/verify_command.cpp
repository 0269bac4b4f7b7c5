// spdtool verify: every check the setup makes, plus every file's data inflated and checked.
#include "tools/spdtool/commands.h"

#include "format/package_reader.h"
#include "format/plain_file.h"
#include "tools/spdtool/command_line.h"
#include "tools/spdtool/entry_path.h"
#include "tools/spdtool/failure_text.h"
#include "tools/spdtool/package_location.h"
#include "tools/spdtool/progress.h"
#include "tools/spdtool/tool_error.h"

#include <cstdio>
#include <filesystem>

namespace {

const char kVerifyUsage[] =
    "usage: spdtool verify PACKAGE\n"
    "  Checks the header, every volume, the size and checksums of the package stream,\n"
    "  the directory table, every file entry and every file's data (length and Adler-32),\n"
    "  and _setup.spd when it lies beside user.spd.\n"
    "  Exit code 0: sound; 1: damaged (the message says what and where); 2: usage error.\n";

class CDiscardSink : public IByteSink {
public:
    void Write(const unsigned char*, std::size_t) override {}
};

// After the stream's checksum failed: reads the entries anyway to find the first file the
// damage hit, so that the report can say where it is.
std::string LocateDamage(CLocatedPackage& package)
{
    std::string strWhere = "; no file entry shows it, so it lies in a header or the directory table";
    unsigned nFile = 0;
    FileRecord record;
    std::string strContext = "file entry 0";
    try {
        CPackageReader reader(package.GetStream(), package.GetHeader());
        reader.BeginFileSectionUnchecked();
        while (reader.ReadNextFileEntry(record)) {
            strContext = "file " + std::to_string(nFile) + " (" + EntryText(record) + ")";
            reader.InflateDataBlock(nullptr);
            ++nFile;
            strContext = "file entry " + std::to_string(nFile);
        }
    } catch (CSetupException* e) {
        strWhere = "; the damage shows in " + strContext + ": " + DescribeSetupException(*e, &package);
        e->Delete();
    }
    return strWhere;
}

} // namespace

int RunVerify(const std::vector<std::string>& vecArgs)
{
    ParsedArgs args = ParseArgs(vecArgs, "", kVerifyUsage);
    if (ShowHelpIfAsked(args, kVerifyUsage))
        return kExitOk;
    if (args.vecPositional.size() != 1)
        throw CToolError(std::string("verify needs one package\n") + kVerifyUsage, kExitUsage);
    const std::unique_ptr<CLocatedPackage> pPackage = LocatePackage(args.vecPositional[0]);
    unsigned nDirectories = 0;
    unsigned nFiles = 0;
    std::uint64_t nUnpacked = 0;
    std::string strContext;
    try {
        // The stream is read twice: once for its checksums, once for the files' data.
        CProgressLine progress("verify", 2 * pPackage->GetStream().GetLength());
        CCountingFile stream(pPackage->GetStream(), progress);
        CPackageReader reader(stream, pPackage->GetHeader());
        try {
            reader.VerifyStream();
        } catch (CSetupException* e) {
            std::string strText = DescribeSetupException(*e, pPackage.get());
            e->Delete();
            throw CToolError("damaged package: " + strText + LocateDamage(*pPackage));
        }
        std::optional<std::vector<DirectoryEntry>> directories = reader.ReadDirectoryTable();
        nDirectories = directories ? static_cast<unsigned>(directories->size()) : 0;
        reader.BeginFileSection();
        FileRecord record;
        while (reader.ReadNextFileEntry(record)) {
            strContext = "file " + std::to_string(nFiles) + " (" + EntryText(record) + ")";
            if (!IsFolderRoot(record.root))
                throw CToolError("damaged package: " + strContext + ": root " + std::to_string(record.root) +
                                 " is not 1 to 5");
            nUnpacked += reader.InflateDataBlock(nullptr).unpackedSize;
            std::vector<std::string> vecParts;
            std::string strWhy;
            if (!SplitFileEntry(record, vecParts, strWhy))
                std::fprintf(stderr, "spdtool: warning: %s: %s; extract refuses it\n", strContext.c_str(), strWhy.c_str());
            ++nFiles;
        }
        strContext.clear();
    } catch (CSetupException* e) {
        ThrowDescribed(e, pPackage.get(), strContext);
    }

    std::string strSetup = (std::filesystem::path(pPackage->GetFolder()) / "_setup.spd").string();
    std::string strUninstaller = "no _setup.spd";
    std::error_code error;
    if (std::filesystem::exists(strSetup, error)) {
        try {
            CPlainFile file;
            CDiscardSink sink;
            std::uint64_t nProgram = ReadUninstaller(file, strSetup, sink);
            strUninstaller = "_setup.spd holds a " + std::to_string(nProgram) + "-byte uninstaller";
        } catch (CSetupException* e) {
            ThrowDescribed(e, nullptr, strSetup);
        }
    }
    std::printf("OK: %s: %zu volume(s), %u directories, %u files, %llu bytes unpacked; %s\n",
                FieldText(pPackage->GetHeader().packageName).c_str(), pPackage->GetVolumePaths().size(), nDirectories,
                nFiles, static_cast<unsigned long long>(nUnpacked), strUninstaller.c_str());
    return kExitOk;
}
