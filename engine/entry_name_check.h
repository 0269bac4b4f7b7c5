// The gate between folder and file names read from a package and the file system: a name
// is put below one of the root folders, and must not lead out of it.
#pragma once

#include <string>

struct FileRecord;

// True when strPath stays below the folder it is joined to. Refused, with the reason in
// strWhy: a ".." component, a leading '\' or '/' (an absolute path), any ':' (a drive
// letter, or a stream name), and control characters, which no Windows file name holds.
// Empty and "." components are harmless and pass.
bool IsContainedEntryPath(const std::string& strPath, std::string& strWhy);

// A directory-table path as folder creation uses it (after its one leading and one
// trailing backslash are dropped); raises phase 2, cause 3 (a damaged setup file) when
// it would leave its root.
void CheckDirectoryEntryPath(const std::string& strTrimmedPath);

// A file record's folder and file name, as stored; raises phase 3, cause 3 when either
// would leave the record's root.
void CheckFileEntryNames(const FileRecord& record);
