// New temporary files of a run: 8 random letters and ".tmp" in the run's private folder.
#pragma once

#include "format/plain_file.h"

#include <functional>
#include <string>
#include <vector>

// How many names are drawn before a folder that refuses new files is given up. Names of
// one second repeat, so the k-th file created within a second needs k draws; a run
// cannot create ten thousand files in one second, while a refusing folder costs
// only a moment to give up on.
constexpr unsigned kMaxTempNameAttempts = 10000;

// Seeds the names with the current second, then draws strTempFolder (ending in a
// backslash) + 8 letters + ".tmp" until a name that names no existing file can be
// created, read-write and exclusive, as file. beforeEachDraw runs first at every attempt
// (the extraction's cancel check). Raises phase nPhase, cause 2 once kMaxTempNameAttempts
// names have failed. The new file's path is added to tempFiles and returned.
std::string CreateTempFile(CPlainFile& file, const std::string& strTempFolder, unsigned nPhase,
                           const std::function<void()>& beforeEachDraw, std::vector<std::string>& tempFiles);
