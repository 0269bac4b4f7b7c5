// Undoing what a run created: its files and its folders, each list emptied of what could
// be removed.
#pragma once

#include <string>
#include <vector>

// Deletes every file in list order. The list keeps only the files that could not be
// deleted; true when there were none.
bool DeleteFileList(std::vector<std::string>& vecFiles);

// Removes the folders that still exist, deepest first (their short forms in upper case,
// sorted descending, so that X\Y comes before X); folders that no longer exist are
// dropped, and a folder that still holds anything stays. The list keeps only the folders
// that could not be removed; true when there were none.
bool RemoveFolderList(std::vector<std::string>& vecFolders);
