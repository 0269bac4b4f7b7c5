// Ordering of path lists: byte-wise, case-sensitive, stable.
#pragma once

#include <string>
#include <vector>

// Sorts the texts byte by byte (as unsigned bytes), ascending or descending; equal texts
// keep their order. Descending puts a sub-folder before its parent, whose path is a
// prefix of it.
void SortTexts(std::vector<std::string>& vecTexts, bool bDescending);
