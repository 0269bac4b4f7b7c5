// Removing files and folders now, or, when the system holds them, at its next start.
#pragma once

#include <string>

enum class Removal {
    Removed,   // gone now (or it was not there)
    AtRestart, // the system removes it at its next start
    Failed,    // still there
};

// Deletes a file, clearing its read-only attribute when that is what stands in the way.
// A file that cannot go now (in use) is handed to the system to delete at its next start.
Removal RemoveFileOrDefer(const std::string& strPath);

// Removes a folder that is empty. With bDeferIfBusy, a folder that cannot go now is handed
// to the system, which removes it at its next start only if it is empty by then: for a
// folder that still holds files that wait for that start themselves.
Removal RemoveFolderOrDefer(const std::string& strPath, bool bDeferIfBusy);
