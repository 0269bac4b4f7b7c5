// The texts of deferredReplacements: a pending copy's path, a line feed, the target path.
#pragma once

#include <string>
#include <vector>

std::string MakeDeferredEntry(const std::string& strPendingCopy, const std::string& strTarget);

// Splits an entry at its first line feed; an entry without one is all pending copy.
void SplitDeferredEntry(const std::string& strEntry, std::string& strPendingCopy, std::string& strTarget);

// Cuts every entry at its first line feed, so that only the pending copies' paths remain
// (the list the roll-back deletes).
void KeepPendingCopies(std::vector<std::string>& vecEntries);
