// Turning the folder and file names stored in a package into safe relative paths.
#pragma once

#include <string>
#include <vector>

// Splits a stored path at '\' and '/' into its components, dropping empty and "."
// components. Refuses (false, with the reason) anything that could leave the folder it is
// put under: ".." components, absolute paths, drive letters and any ':', control characters.
bool SplitEntryPath(const std::string& strPath, std::vector<std::string>& vecParts, std::string& strWhy);

struct FileRecord;

// "Destination\folder\name" as stored, for messages.
std::string EntryText(const FileRecord& record);

// The relative path of a file entry below its root: folder components, then the name's.
// Refuses what SplitEntryPath refuses, and an empty name.
bool SplitFileEntry(const FileRecord& record, std::vector<std::string>& vecParts, std::string& strWhy);
