// spdtool list: header fields, volumes, directories and every file, as text or JSON.
#include "tools/spdtool/commands.h"

#include "format/package_exception.h"
#include "format/package_reader.h"
#include "format/package_writer.h"
#include "tools/spdtool/command_line.h"
#include "tools/spdtool/failure_text.h"
#include "tools/spdtool/json_text.h"
#include "tools/spdtool/manifest.h"
#include "tools/spdtool/package_location.h"
#include "tools/spdtool/progress.h"
#include "tools/spdtool/tool_error.h"

#include <cstdio>

namespace {

const char kListUsage[] =
    "usage: spdtool list PACKAGE [--json]\n"
    "  Shows the header, the volumes, the directories and every file of a package.\n"
    "  PACKAGE is a folder holding user.spd, or the path of user.spd.\n";

std::string RootText(unsigned nRoot)
{
    const char* pszName = FolderRootName(nRoot);
    return pszName != nullptr ? pszName : "root " + std::to_string(nRoot);
}

std::string Hex32(std::uint32_t n)
{
    char sz[16];
    std::snprintf(sz, sizeof sz, "0x%08x", static_cast<unsigned>(n));
    return sz;
}

// Prints as it reads, so that a package of any size lists in constant memory.
class CListPrinter {
public:
    CListPrinter(const CLocatedPackage& package, bool bJson) : m_package(package), m_bJson(bJson) {}

    void Begin(const std::optional<std::vector<DirectoryEntry>>& directories)
    {
        const SetupHeader& header = m_package.GetHeader();
        if (!m_bJson) {
            std::printf("package         %s\n", FieldText(header.packageName).c_str());
            std::printf("identifier      %s\n", FormatPackageId(header.packageId).c_str());
            std::printf("default folder  %s\n", FieldText(header.defaultFolder).c_str());
            std::printf("total size      %u bytes, data checksum %s\n", static_cast<unsigned>(header.totalSize),
                        Hex32(header.dataChecksum).c_str());
            std::printf("volumes         %u\n", static_cast<unsigned>(header.volumeCount));
            for (const std::string& strPath : m_package.GetVolumePaths())
                std::printf("  %s\n", strPath.c_str());
            std::printf("directories     %s\n",
                        directories ? std::to_string(directories->size()).c_str() : "none (no directory block)");
            if (directories) {
                for (const DirectoryEntry& entry : *directories)
                    std::printf("  %s\\%s\n", RootText(entry.root).c_str(), TrimDirectoryPath(entry.strPath).c_str());
            }
            std::printf("files           %u\n", static_cast<unsigned>(header.fileCount));
            return;
        }
        std::printf("{\n  \"name\": %s,\n", JsonText(FieldText(header.packageName)).c_str());
        std::printf("  \"id\": %s,\n", JsonText(FormatPackageId(header.packageId)).c_str());
        std::printf("  \"defaultFolder\": %s,\n", JsonText(FieldText(header.defaultFolder)).c_str());
        std::printf("  \"totalSize\": %u,\n  \"dataChecksum\": %u,\n  \"volumeCount\": %u,\n",
                    static_cast<unsigned>(header.totalSize), static_cast<unsigned>(header.dataChecksum),
                    static_cast<unsigned>(header.volumeCount));
        std::printf("  \"volumes\": [");
        for (std::size_t i = 0; i < m_package.GetVolumePaths().size(); ++i)
            std::printf("%s%s", i ? ", " : "", JsonText(m_package.GetVolumePaths()[i]).c_str());
        std::printf("],\n  \"directories\": %s", directories ? "[" : "null");
        if (directories) {
            for (std::size_t i = 0; i < directories->size(); ++i)
                std::printf("%s\n    {\"root\": %s, \"path\": %s}", i ? "," : "",
                            JsonText(RootText((*directories)[i].root)).c_str(), JsonText((*directories)[i].strPath).c_str());
            std::printf("%s]", directories->empty() ? "" : "\n  ");
        }
        std::printf(",\n  \"files\": [");
    }

    void File(const FileRecord& record, const BlockHeader& data)
    {
        if (!m_bJson) {
            std::string strFolder = FieldText(record.folder);
            std::string strPath =
                RootText(record.root) + "\\" + (strFolder.empty() ? "" : strFolder + "\\") + FieldText(record.fileName);
            std::printf("  %s  flags=%s  stored=%u unpacked=%u checksum=%s\n", strPath.c_str(), FlagNames(record.flags).c_str(),
                        static_cast<unsigned>(data.storedSize), static_cast<unsigned>(data.unpackedSize),
                        Hex32(data.checksum).c_str());
            return;
        }
        std::printf("%s\n    {\"root\": %s, \"folder\": %s, \"name\": %s, \"flags\": %u, \"flagNames\": %s, "
                    "\"storedSize\": %u, \"unpackedSize\": %u, \"checksum\": %u}",
                    m_nFiles ? "," : "", JsonText(RootText(record.root)).c_str(), JsonText(FieldText(record.folder)).c_str(),
                    JsonText(FieldText(record.fileName)).c_str(), static_cast<unsigned>(record.flags),
                    JsonText(FlagNames(record.flags)).c_str(), static_cast<unsigned>(data.storedSize),
                    static_cast<unsigned>(data.unpackedSize), static_cast<unsigned>(data.checksum));
        ++m_nFiles;
    }

    void End()
    {
        if (m_bJson)
            std::printf("%s]\n}\n", m_nFiles == 0 ? "" : "\n  ");
    }

private:
    const CLocatedPackage& m_package;
    bool m_bJson;
    unsigned m_nFiles = 0;
};

} // namespace

int RunList(const std::vector<std::string>& vecArgs)
{
    ParsedArgs args = ParseArgs(vecArgs, "--json", kListUsage);
    if (ShowHelpIfAsked(args, kListUsage))
        return kExitOk;
    if (args.vecPositional.size() != 1)
        throw CToolError(std::string("list needs one package\n") + kListUsage, kExitUsage);
    const std::unique_ptr<CLocatedPackage> pPackage = LocatePackage(args.vecPositional[0]);
    CListPrinter printer(*pPackage, args.bJson);
    try {
        CProgressLine progress("list", pPackage->GetStream().GetLength());
        CCountingFile stream(pPackage->GetStream(), progress);
        CPackageReader reader(stream, pPackage->GetHeader());
        std::optional<std::vector<DirectoryEntry>> directories = reader.ReadDirectoryTable();
        reader.BeginFileSection();
        printer.Begin(directories);
        FileRecord record;
        while (reader.ReadNextFileEntry(record))
            printer.File(record, reader.SkipDataBlock());
    } catch (CSetupException* e) {
        std::fflush(stdout);
        ThrowDescribed(e, pPackage.get(), "");
    }
    printer.End();
    return kExitOk;
}
