// Reads the uninstall log whole: it is small, and the uninstaller must know all of it is
// sound before it removes anything.
#include "format/uninstall_log_file.h"

#include "format/package_exception.h"
#include "framework/exception.h"

#include <vector>

namespace {
[[noreturn]] void Unreadable(const std::string& strPath, const std::string& strWhy)
{
    ThrowPackageException(PHASE_FINISHING, CAUSE_OPEN_FILE, "uninstall log " + strPath + ": " + strWhy);
}
} // namespace

UninstallLogContent LoadUninstallLog(ISeekableFile& file, const std::string& strPath, UninstallLogHeader* pHeader)
{
    if (!file.Open(strPath))
        Unreadable(strPath, "cannot be opened");
    std::vector<unsigned char> bytes;
    try {
        const std::uint64_t nLength = file.GetLength();
        if (nLength > kMaxUninstallLogFileSize) {
            file.Close();
            ThrowPackageException(PHASE_FINISHING, CAUSE_DAMAGED,
                                  "uninstall log " + strPath + ": " + std::to_string(nLength) +
                                      " bytes, larger than any log");
        }
        bytes.resize(static_cast<std::size_t>(nLength));
        const std::size_t nRead = file.Read(bytes.data(), bytes.size());
        file.Close();
        if (nRead != bytes.size())
            Unreadable(strPath, "only " + std::to_string(nRead) + " of " + std::to_string(nLength) + " bytes read");
    } catch (CFileException* pError) {
        const std::string strWhy = pError->Describe();
        pError->Delete();
        file.Close();
        Unreadable(strPath, strWhy);
    }
    return ReadUninstallLog(bytes.data(), bytes.size(), pHeader);
}
