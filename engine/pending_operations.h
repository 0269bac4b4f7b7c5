// The system's lists of file operations at the next start, as text. NT keeps pairs of
// paths in PendingFileRenameOperations (REG_MULTI_SZ, each path after "\??\", an empty
// target for a delete); the 9x family keeps "target=source" lines in wininit.ini's
// [rename] section, "NUL=path" for a delete. Paths are compared without regard to case
// (ASCII letters).
#pragma once

#include <string>
#include <vector>

// The strings of REG_MULTI_SZ data, empty ones inside the list included (a delete's target).
std::vector<std::string> SplitMultiString(const std::vector<unsigned char>& data);
std::vector<unsigned char> JoinMultiString(const std::vector<std::string>& vecStrings);

// Takes out every pair that deletes one of vecPaths (the same file may be given in several
// spellings); every other pair stays as it is. True when one was taken out.
bool DropPendingDeletePairs(std::vector<std::string>& vecPairs, const std::vector<std::string>& vecPaths);

// The same for the "NUL=path" lines of wininit.ini's [rename] sections in strIni.
bool DropPendingDeleteLines(std::string& strIni, const std::vector<std::string>& vecPaths);

// strIni with vecLines appended to a [rename] section that ends the file: the last section
// when it is one, else a new one added at the end. Each line comes after a CR LF, with no
// final line break.
std::string WithRenameLines(const std::string& strIni, const std::vector<std::string>& vecLines);
