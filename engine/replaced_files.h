// The user's files that a run overwrites: a copy of each is kept in the run's temporary
// folder until the run ends, so that a failed run gives them back instead of leaving the
// package's version, or nothing, in their place.
#pragma once

#include "engine/installation_lists.h"

#include <string>
#include <vector>

// Copies the existing strTarget into strTempFolder (the run's own folder, with a trailing
// backslash) under a name of its own, before the package's file overwrites it, and lists
// the pair in vecReplaced. A read-only target is not kept: it cannot be overwritten, so it
// gets a pending copy and stays untouched. False when the copy cannot be made (the target
// is held for writing, the temporary drive is full): a file that could not be given back
// must not be overwritten now.
bool KeepExistingFile(std::vector<CReplacedFile>& vecReplaced, const std::string& strTarget,
                      const std::string& strTempFolder);

// Takes the last kept copy back when it is strTarget's, after the copy onto the target
// failed: moved back over the target, which a copy that failed part way has already cut,
// or deleted when the target cannot be written and so still holds the user's file.
void GiveBackKeptCopy(std::vector<CReplacedFile>& vecReplaced, const std::string& strTarget);

// The roll-back's part, after the run's own files are deleted: every kept copy is moved
// back over its target. Errors are ignored.
void RestoreReplacedFiles(const std::vector<CReplacedFile>& vecReplaced);

// Deletes the kept copies still there (every one after a success, those that could not be
// moved back after a failure), so that the temporary folder can go.
void DeleteKeptCopies(const std::vector<CReplacedFile>& vecReplaced);
