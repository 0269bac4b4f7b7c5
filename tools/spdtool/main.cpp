// spdtool: packs, lists, verifies and extracts setup packages (user.spd, user.NNN, _setup.spd),
// and shows what an installation's uninstall log holds.
#include "framework/exception.h"
#include "lumidrop_version.h"
#include "tools/spdtool/commands.h"
#include "tools/spdtool/tool_error.h"

#include <cstdio>
#include <cstring>
#include <new>

#ifdef _WIN32
#include "framework/system_library.h"
#endif

namespace {

const char kUsage[] =
    "usage: spdtool COMMAND [ARGS]\n"
    "  pack MANIFEST -o DIR [--volume-size BYTES] [--disks] [--setup PROGRAM]\n"
    "                                                build a package from a manifest\n"
    "  list PACKAGE [--json]                         show what a package holds\n"
    "  verify PACKAGE                                check everything; exit 1 when damaged\n"
    "  extract PACKAGE -o DIR                        write every file under DIR/<root>/\n"
    "  log LOG [--json]                              show what an installation's Unscr.log holds\n"
    "  --version                                     print spdtool's version\n"
    "PACKAGE is a folder holding user.spd, or the path of user.spd; continuation volumes\n"
    "are found beside it or in sibling \"Disk N\" folders. 'spdtool COMMAND --help' tells more.\n";

int Run(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    std::string strCommand = argv[1];
    std::vector<std::string> vecArgs(argv + 2, argv + argc);
    if (strCommand == "-h" || strCommand == "--help" || strCommand == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (strCommand == "--version") {
        std::printf("spdtool %s\n", LUMIDROP_VERSION_TEXT);
        return kExitOk;
    }
    if (strCommand == "pack")
        return RunPack(vecArgs);
    if (strCommand == "list")
        return RunList(vecArgs);
    if (strCommand == "verify")
        return RunVerify(vecArgs);
    if (strCommand == "extract")
        return RunExtract(vecArgs);
    if (strCommand == "log")
        return RunLog(vecArgs);
    std::fprintf(stderr, "spdtool: unknown command \"%s\"\n%s", strCommand.c_str(), kUsage);
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    RestrictLibrarySearch();
#endif
    // One category per exit code: usage errors 2, everything that stops the work 1.
    try {
        return Run(argc, argv);
    } catch (const CToolError& error) {
        std::fprintf(stderr, "spdtool: %s\n", error.what());
        return error.m_nExit;
    } catch (CFileException* e) {
        std::fprintf(stderr, "spdtool: %s\n", e->Describe().c_str());
        e->Delete();
    } catch (CException* e) {
        std::fprintf(stderr, "spdtool: unexpected failure\n");
        e->Delete();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "spdtool: out of memory\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "spdtool: %s\n", error.what());
    }
    return kExitFailed;
}
