// The uninstaller's decisions about paths that need no system: the order folders go in,
// and which record is the log itself.
#pragma once

#include <string>
#include <vector>

// The folders deepest first (most separators, a trailing one not counted), so that a
// folder comes before the folder holding it; folders of equal depth in reverse order of
// creation.
std::vector<std::string> DeepestFirst(const std::vector<std::string>& vecFolders);

// True when both name the same path as Windows compares them: ASCII letters in either
// case, '/' and '\' alike.
bool SamePath(const std::string& strFirst, const std::string& strSecond);

// True when strPath lies somewhere below strFolder (compared as SamePath does).
bool IsInsideFolder(const std::string& strPath, const std::string& strFolder);
