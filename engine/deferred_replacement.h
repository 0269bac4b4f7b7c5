// Handing the pending copies of files that were in use to the system, to be moved over
// their targets at the next start.
#pragma once

#include <string>
#include <vector>

class CSetupConfig;

// Does nothing unless config.m_bRestartNeeded. On Windows 9x (config.m_bWin9x) appends a
// line "target=pending copy" (short forms) per entry to wininit.ini in strWindowsFolder,
// creating it with the section header "[rename]" when it does not exist; the lines go to
// the end of an existing file, whatever section ends it, each after a CR LF and with no
// final line break. Raises phase 4, cause 2 when the file can be neither opened nor
// created. Elsewhere registers one delayed move with replace-existing per entry; a move
// the system refuses is ignored.
void ScheduleDeferredReplacements(const CSetupConfig& config, const std::string& strWindowsFolder,
                                  const std::vector<std::string>& deferredReplacements);
