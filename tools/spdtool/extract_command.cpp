// spdtool extract: every file of a sound package under DIR/<root>/..., or nothing at all.
//
// Files are first inflated into a staging folder inside DIR and moved into place only
// when the whole package has been read without a fault, so a damaged package leaves DIR
// as it was. Every stored name passes SplitEntryPath, and nothing is written through a
// symbolic link, so nothing lands outside DIR.
#include "tools/spdtool/commands.h"

#include "format/package_folding_file.h"
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
#include <random>

namespace fs = std::filesystem;

namespace {

const char kExtractUsage[] =
    "usage: spdtool extract PACKAGE -o DIR\n"
    "  Verifies the package and writes every file under DIR/Windows, DIR/System,\n"
    "  DIR/ProgramFiles, DIR/CommonFiles or DIR/Destination after its root, creating the\n"
    "  package's directories too. Names that would leave their folder ('..', absolute\n"
    "  paths, drive letters, ':') are refused; a damaged package writes nothing.\n";

// Removes the staging folder (and DIR when this run created it and it stayed empty) on
// every way out that did not commit.
class CStaging {
public:
    CStaging(fs::path target, bool bCreatedTarget) : m_target(std::move(target)), m_bCreatedTarget(bCreatedTarget)
    {
        std::random_device device;
        char szName[40];
        std::snprintf(szName, sizeof szName, ".spdtool-extract-%08x", static_cast<unsigned>(device()));
        m_folder = m_target / szName;
        std::error_code error;
        if (!fs::create_directory(m_folder, error))
            throw CToolError("cannot create the staging folder " + m_folder.string());
    }
    ~CStaging()
    {
        std::error_code error;
        fs::remove_all(m_folder, error);
        if (!m_bCommitted && m_bCreatedTarget)
            fs::remove(m_target, error); // only succeeds when empty
    }
    CStaging(const CStaging&) = delete;
    CStaging& operator=(const CStaging&) = delete;

    const fs::path& Folder() const { return m_folder; }

    // Moves everything staged into the target, refusing to follow a symbolic link that
    // already stands in the target. Every refusal is found before the first folder is
    // made or file moved, so that a refused package leaves the target as it was.
    void Commit()
    {
        std::vector<fs::path> vecFolders;
        std::vector<fs::path> vecFiles;
        for (auto it = fs::recursive_directory_iterator(m_folder); it != fs::recursive_directory_iterator(); ++it) {
            fs::path relative = it->path().lexically_relative(m_folder); // no system calls
            fs::path target = m_target;
            for (const fs::path& part : relative) {
                target /= part;
                std::error_code error;
                if (fs::is_symlink(fs::symlink_status(target, error)))
                    throw CToolError("refusing to write through the symbolic link " + target.string());
            }
            std::error_code error;
            if (it->is_directory()) {
                if (fs::exists(target, error) && !fs::is_directory(target, error))
                    throw CToolError(target.string() + " exists and is not a folder");
                vecFolders.push_back(relative);
            } else {
                if (fs::is_directory(target, error))
                    throw CToolError(target.string() + " exists and is a folder");
                vecFiles.push_back(relative);
            }
        }
        for (const fs::path& relative : vecFolders)
            fs::create_directories(m_target / relative);
        for (const fs::path& relative : vecFiles)
            fs::rename(m_folder / relative, m_target / relative);
        m_bCommitted = true;
    }

private:
    fs::path m_target;
    fs::path m_folder;
    bool m_bCreatedTarget;
    bool m_bCommitted = false;
};

fs::path SafePath(const fs::path& base, const std::vector<std::string>& vecParts)
{
    fs::path path = base;
    for (const std::string& strPart : vecParts)
        path /= strPart;
    return path;
}

} // namespace

int RunExtract(const std::vector<std::string>& vecArgs)
{
    ParsedArgs args = ParseArgs(vecArgs, "-o", kExtractUsage);
    if (ShowHelpIfAsked(args, kExtractUsage))
        return kExitOk;
    if (args.vecPositional.size() != 1 || args.strOutput.empty())
        throw CToolError(std::string("extract needs a package and -o DIR\n") + kExtractUsage, kExitUsage);
    const std::unique_ptr<CLocatedPackage> pPackage = LocatePackage(args.vecPositional[0]);

    fs::path target(args.strOutput);
    std::error_code error;
    bool bCreated = !fs::exists(target, error);
    fs::create_directories(target, error);
    if (error || !fs::is_directory(target, error))
        throw CToolError("cannot create " + target.string());
    CStaging staging(target, bCreated);

    unsigned nFiles = 0;
    std::string strContext;
    try {
        CProgressLine progress("extract", pPackage->GetStream().GetLength());
        CCountingFile counted(pPackage->GetStream(), progress);
        // One pass: the stream's checksums are folded while the files are inflated into
        // the staging folder, and checked before anything leaves it.
        CStreamChecksums checksums(pPackage->GetHeader(), counted.GetLength());
        CFoldingFile stream(counted, checksums);
        CPackageReader reader(stream, pPackage->GetHeader());
        reader.CheckStreamLength();
        std::optional<std::vector<DirectoryEntry>> directories = reader.ReadDirectoryTable();
        if (directories) {
            for (std::size_t i = 0; i < directories->size(); ++i) {
                const DirectoryEntry& entry = (*directories)[i];
                std::vector<std::string> vecParts;
                std::string strWhy;
                if (!SplitEntryPath(TrimDirectoryPath(entry.strPath), vecParts, strWhy))
                    throw CToolError("refused: directory " + std::to_string(i) + " (" + entry.strPath + "): " + strWhy);
                fs::create_directories(SafePath(staging.Folder() / FolderRootName(entry.root), vecParts));
            }
        }
        reader.BeginFileSectionUnchecked();
        FileRecord record;
        while (reader.ReadNextFileEntry(record)) {
            strContext = "file " + std::to_string(nFiles) + " (" + EntryText(record) + ")";
            if (!IsFolderRoot(record.root))
                throw CToolError("damaged package: " + strContext + ": root " + std::to_string(record.root) +
                                 " is not 1 to 5");
            std::vector<std::string> vecParts;
            std::string strWhy;
            if (!SplitFileEntry(record, vecParts, strWhy))
                throw CToolError("refused: " + strContext + ": " + strWhy);
            fs::path path = SafePath(staging.Folder() / FolderRootName(record.root), vecParts);
            fs::create_directories(path.parent_path());
            CPlainFile file;
            if (!file.Create(path.string()))
                throw CToolError("cannot create " + path.string());
            CPlainFileSink sink(file);
            reader.InflateDataBlock(&sink);
            file.Close();
            ++nFiles;
        }
        strContext.clear();
        stream.FoldUpTo(stream.GetLength());
        reader.CheckStreamChecksums(checksums);
        reader.CheckFileSection();
    } catch (CSetupException* e) {
        ThrowDescribed(e, pPackage.get(), strContext);
    } catch (const fs::filesystem_error& fsError) {
        throw CToolError(std::string("cannot write: ") + fsError.what());
    }
    try {
        staging.Commit();
    } catch (const fs::filesystem_error& fsError) {
        throw CToolError(std::string("cannot move the files into place: ") + fsError.what());
    }
    std::printf("extracted %u files into %s\n", nFiles, target.string().c_str());
    return kExitOk;
}
