// Creating the destination folder and the folders of the package's directory table before
// any file is placed, with the user's word for each listed folder that is already there.
#pragma once

#include "format/package_reader.h"

#include <string>
#include <vector>

class CRootFolders;
class CSetupThreadLink;

// Creates strDestination unless it exists, then every folder of directoryTable in the
// order of its stored paths (byte-wise, so that a parent comes before its sub-folders),
// each below its root. Every folder created by the call is appended to createdFolders;
// folders that already existed are not.
//
// Raises phase 2 with cause 3 when an entry would leave its root (checked for the whole
// table before anything is created), cause 8 when a folder cannot be created (for a
// table folder after a box showing its bare path), cause 7 when an entry's root has no
// folder, cause 9 when the user answers No to message 169 about a folder that exists.
// A cancel check comes before each table entry.
void CreatePackageFolders(const std::string& strDestination, const std::vector<DirectoryEntry>& directoryTable,
                          const CRootFolders& rootFolders, CSetupThreadLink& link,
                          std::vector<std::string>& createdFolders);
