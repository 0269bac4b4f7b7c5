// The package stream the setup reads: the copy of user.spd itself, or, for a package of
// several volumes, a joined temporary file (user.spd whole, every later volume without
// its 88-byte VolumeHeader).
#pragma once

#include "format/plain_file.h"

#include <memory>
#include <string>
#include <vector>

class CSetupThreadLink;

// Builds the stream from volumeCopies (entry 0 the copy of user.spd). One copy: it is
// opened for reading, exclusive. More: a new temporary file in strTempFolder, added to
// tempFiles, receives them in chunks of 524288 bytes with a cancel check before each
// volume and each chunk, and stays open read-write, positioned at its start. A volume
// shorter than its header adds nothing. Raises phase 1: cause 2 when a file cannot be
// opened or created, cause 4 without memory for the buffer; a failed write raises
// CFileException.
std::unique_ptr<CPlainFile> BuildPackageStream(const std::vector<std::string>& volumeCopies,
                                               const std::string& strTempFolder, CSetupThreadLink& link,
                                               std::vector<std::string>& tempFiles);
