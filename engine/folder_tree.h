// Creating a folder together with every missing folder above it.
#pragma once

#include <string>
#include <vector>

// Creates strPath level by level. The drive part (up to the first backslash) must name an
// existing root; each later level is created unless it exists. False at the first level
// that can be neither found nor created (the levels made before it stay). With
// pCreatedLevels, every level the call creates is appended to it as it is made, the
// levels of a failed call too.
bool CreateFolderTree(const std::string& strPath, std::vector<std::string>* pCreatedLevels = nullptr);

// CreateFolderTree, and on success strPath (only the full path, never the levels created
// on the way) appended to createdFolders: a roll-back removes what was asked for and
// leaves parents that other programs may come to use. A folder that already exists is
// used as it is and not recorded, so that no roll-back ever removes it.
bool CreateRecordedFolder(const std::string& strPath, std::vector<std::string>& createdFolders);
