// Small file helpers the engine uses throughout: existence tests, copies into a folder,
// file names cut from paths, and the random letters of temporary names. Paths are byte
// strings in the system's ANSI code page.
#pragma once

#include <functional>
#include <string>

// True when the file exists, tested without reading it. A file held open without sharing
// counts as missing: it could not be used anyway. With pbThere, also tells whether
// anything is at the path, such a held file included, from the same look.
bool FileExists(const std::string& strPath, bool* pbThere = nullptr);

// True when the folder can be made the current folder; the previous current folder is
// put back at once.
bool FolderExists(const std::string& strPath);

// Every '/' becomes '\'; then only the text after the last '\' (or, without one, after
// the last ':') remains and the result is true. Without either, only the slashes change
// and the result is false.
bool StripToFileName(std::string& strPath);

// The path strSource gets in strFolder: the folder, a backslash unless it ends in one,
// and the source's file name.
std::string PathInFolder(const std::string& strFolder, const std::string& strSource);

// CreateDirectoryA and CopyFileA as the installation makes them: every folder it creates
// and every file it copies passes here, where the test build can make the call fail.
bool CreateFolder(const std::string& strPath);
bool CopyOneFile(const std::string& strSource, const std::string& strTarget, bool bFailIfExists);
// The same for the moves over a target at the next start (replace-existing).
bool MoveAtNextStart(const std::string& strSource, const std::string& strTarget);

// Copies strSource into strFolder under its file name. With bFailIfExists and the target
// already there: 1 when both have the same size (nothing is copied), else -1. Otherwise
// 0 on success and -1 on failure. With eachChunk, the copy is made in chunks of 524288
// bytes, eachChunk running before each, and the copy has plain attributes; without it,
// CopyOneFile makes it.
int CopyToFolder(const std::string& strSource, const std::string& strFolder, bool bFailIfExists,
                 const std::function<void()>& eachChunk = nullptr);

// Sets strText to nLength letters 'a' to 'z' drawn from the C runtime's generator.
void MakeRandomName(std::string& strText, unsigned nLength);
