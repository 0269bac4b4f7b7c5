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

// Takes out of vecPlaced every target that an entry of vecEntries names: such a target
// only got a pending copy and still holds the user's file, which a roll-back must leave.
void ForgetDeferredTargets(std::vector<std::string>& vecPlaced, const std::vector<std::string>& vecEntries);
