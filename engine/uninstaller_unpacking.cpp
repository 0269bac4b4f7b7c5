#include "engine/uninstaller_unpacking.h"

#include "engine/file_helpers.h"
#include "format/package_reader.h"
#include "format/plain_file.h"
#include "framework/exception.h"
#include "sys/my_exception.h"

#include <windows.h>

#include <cstdlib>

namespace {
constexpr unsigned kDigits = 4;

// Writes the whole program, or raises: phase 4, cause 2 when the file cannot be created,
// CFileException when a write fails.
void WriteProgram(const std::string& strTarget, const std::vector<unsigned char>& program)
{
    CPlainFile target;
    if (!target.Create(strTarget))
        ThrowSetupException(PHASE_FINISHING, CAUSE_FILE_ERROR);
    target.Write(program.data(), program.size());
    target.Close();
}
} // namespace

std::string NewUninstallerPath(const std::string& strWindowsFolder)
{
    std::string strPath;
    do {
        std::string strDigits;
        for (unsigned n = 0; n < kDigits; ++n)
            strDigits += std::to_string(std::rand() % 10);
        strPath = strWindowsFolder + "\\UnSc" + strDigits + ".exe";
    } while (FileExists(strPath));
    return strPath;
}

bool UnpackUninstaller(const std::string& strSetupFile, const std::string& strTarget)
{
    try {
        // Read whole and checked before the target is created: a damaged package leaves no
        // half program behind.
        CPlainFile source;
        const std::vector<unsigned char> program = ReadUninstaller(source, strSetupFile);
        WriteProgram(strTarget, program);
        return true;
    } catch (CMyException* pException) {
        pException->Delete();
    } catch (CFileException* pException) {
        pException->Delete();
    }
    // A program cut short by a full disk would only fail when the user wants it.
    DeleteFileA(strTarget.c_str());
    return false;
}
