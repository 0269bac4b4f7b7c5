// The uninstall log read from its file, for the uninstaller.
#pragma once

#include "format/seekable_file.h"
#include "format/uninstall_log.h"

#include <string>

// A log never comes near this: a package's 65535 files and folders make a body of about
// 34 MB, which compresses to a fraction of that.
constexpr std::uint64_t kMaxUninstallLogFileSize = 64u << 20;

// Opens strPath with file, reads it whole, closes it and decodes it (ReadUninstallLog).
// CPackageException phase 4: cause 0 when the file cannot be opened or read, cause 3
// when it is larger than any log, else as ReadUninstallLog (pHeader too).
UninstallLogContent LoadUninstallLog(ISeekableFile& file, const std::string& strPath,
                                     UninstallLogHeader* pHeader = nullptr);
