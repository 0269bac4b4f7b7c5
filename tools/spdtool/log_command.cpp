// spdtool log: what an installation recorded in its uninstall log, as text or JSON, once
// the log's sizes, records and checksum have been checked.
#include "tools/spdtool/commands.h"

#include "format/plain_file.h"
#include "format/uninstall_log_file.h"
#include "tools/spdtool/command_line.h"
#include "tools/spdtool/failure_text.h"
#include "tools/spdtool/json_text.h"
#include "tools/spdtool/tool_error.h"

#include <cstdio>
#include <filesystem>

namespace {

const char kLogUsage[] =
    "usage: spdtool log LOG [--json]\n"
    "  Shows what an installation recorded in its uninstall log (Unscr.log, in the folder it\n"
    "  installed to): its name, the files it wrote, the shared files it kept, the folders it\n"
    "  created and its registry entries, in the order the uninstaller reads them. The log's\n"
    "  sizes, records and checksum are checked first.\n"
    "  Exit code 0: sound; 1: damaged (the message says what and where); 2: usage error.\n";

std::string RootKeyText(std::uint32_t nRoot)
{
    if (nRoot == kRootLocalMachine)
        return "HKLM";
    char sz[16];
    std::snprintf(sz, sizeof sz, "0x%08x", static_cast<unsigned>(nRoot));
    return sz;
}

void PrintTextList(const char* pszTitle, const std::vector<std::string>& vecItems)
{
    std::printf("%-18s%zu\n", pszTitle, vecItems.size());
    for (const std::string& strItem : vecItems)
        std::printf("  %s\n", strItem.c_str());
}

void PrintText(const UninstallLogContent& content, const UninstallLogHeader& header)
{
    std::printf("%-18s%s\n", "installation", content.strName.c_str());
    std::printf("%-18sformat %u, %u bytes, %u unpacked, body checksum 0x%08x\n", "log",
                static_cast<unsigned>(header.formatVersion), static_cast<unsigned>(header.packedSize),
                static_cast<unsigned>(header.grossSize - kUninstallLogHeaderSize),
                static_cast<unsigned>(header.bodyChecksum));
    PrintTextList("files written", content.placedFiles);
    PrintTextList("shared files kept", content.keptSharedFiles);
    PrintTextList("folders created", content.createdFolders);
    std::printf("%-18s%zu\n", "registry entries", content.registryEntries.size());
    for (const RegistryEntry& entry : content.registryEntries) {
        std::printf("  %s\\%s  %s%s\n", RootKeyText(entry.rootKey).c_str(), entry.subKey,
                    entry.IsWholeKey() ? "(key)" : "value ", entry.valueName);
    }
}

void PrintJsonList(const char* pszName, const std::vector<std::string>& vecItems)
{
    std::printf(",\n  \"%s\": [", pszName);
    for (std::size_t i = 0; i < vecItems.size(); ++i)
        std::printf("%s\n    %s", i ? "," : "", JsonText(vecItems[i]).c_str());
    std::printf("%s]", vecItems.empty() ? "" : "\n  ");
}

void PrintJson(const UninstallLogContent& content, const UninstallLogHeader& header)
{
    std::printf("{\n  \"name\": %s,\n  \"formatVersion\": %u,\n  \"packedSize\": %u,\n  \"grossSize\": %u,\n"
                "  \"bodyChecksum\": %u",
                JsonText(content.strName).c_str(), static_cast<unsigned>(header.formatVersion),
                static_cast<unsigned>(header.packedSize), static_cast<unsigned>(header.grossSize),
                static_cast<unsigned>(header.bodyChecksum));
    PrintJsonList("files", content.placedFiles);
    PrintJsonList("keptSharedFiles", content.keptSharedFiles);
    PrintJsonList("folders", content.createdFolders);
    std::printf(",\n  \"registry\": [");
    for (std::size_t i = 0; i < content.registryEntries.size(); ++i) {
        const RegistryEntry& entry = content.registryEntries[i];
        std::printf("%s\n    {\"root\": %s, \"key\": %s, \"value\": %s}", i ? "," : "",
                    JsonText(RootKeyText(entry.rootKey)).c_str(), JsonText(entry.subKey).c_str(),
                    entry.IsWholeKey() ? "null" : JsonText(entry.valueName).c_str());
    }
    std::printf("%s]\n}\n", content.registryEntries.empty() ? "" : "\n  ");
}

} // namespace

int RunLog(const std::vector<std::string>& vecArgs)
{
    ParsedArgs args = ParseArgs(vecArgs, "--json", kLogUsage);
    if (ShowHelpIfAsked(args, kLogUsage))
        return kExitOk;
    if (args.vecPositional.size() != 1)
        throw CToolError(std::string("log needs one uninstall log\n") + kLogUsage, kExitUsage);
    const std::string& strPath = args.vecPositional[0];
    std::error_code error;
    if (!std::filesystem::is_regular_file(strPath, error))
        throw CToolError("no uninstall log at " + strPath);
    UninstallLogContent content;
    UninstallLogHeader header;
    try {
        CPlainFile file;
        content = LoadUninstallLog(file, strPath, &header);
    } catch (CSetupException* e) {
        std::string strText = DescribeSetupException(*e, nullptr);
        e->Delete();
        throw CToolError("damaged log: " + strPath + ": " + strText);
    }
    if (args.bJson)
        PrintJson(content, header);
    else
        PrintText(content, header);
    return kExitOk;
}
