// Creating a folder together with every missing folder above it.
#pragma once

#include <string>
#include <vector>

// Creates strPath level by level. The drive part (up to the first backslash) must name an
// existing root; each later level is created unless it exists, and appended to pCreated
// when given. False at the first level that can be neither found nor created (the levels
// made before it stay, and are in pCreated).
bool CreateFolderTree(const std::string& strPath, std::vector<std::string>* pCreated = nullptr);

// CreateFolderTree, every level it created appended to createdFolders, parents first, also
// when a deeper level fails: a roll-back or uninstall removes each of them once it is empty,
// so a destination two levels below an existing folder leaves nothing behind. A folder
// that already exists is used as it is and not recorded, so that no roll-back ever
// removes it.
bool CreateRecordedFolder(const std::string& strPath, std::vector<std::string>& createdFolders);
