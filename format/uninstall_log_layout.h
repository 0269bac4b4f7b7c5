// Where each field of the uninstall log's header lies: the writer and the reader both
// take the offsets from here.
#pragma once

#include "format/uninstall_log.h"

// Offsets of every header field, checked against each other so that a slip shows up at
// compile time, not as a log the uninstaller refuses.
namespace uninstall_log_offsets {
constexpr std::size_t kMagic = 0, kLogName = 4, kPackedSize = 68, kGrossSize = 72, kBodyChecksum = 76,
                      kVersionField = 80, kReserved = 82, kFileBytes = 84, kFileOffset = 88, kFolderBytes = 92,
                      kFolderOffset = 96, kRegistryBytes = 100, kRegistryOffset = 104;
static_assert(kPackedSize == kLogName + kLogNameFieldSize && kLogName == kMagic + 4, "name after the magic");
static_assert(kGrossSize == kPackedSize + 4 && kBodyChecksum == kGrossSize + 4, "sizes and checksum");
static_assert(kVersionField == kBodyChecksum + 4 && kReserved == kVersionField + 2, "16-bit version");
static_assert(kFileBytes == kReserved + 2 && kFileOffset == kFileBytes + 4, "file records");
static_assert(kFolderBytes == kFileOffset + 4 && kFolderOffset == kFolderBytes + 4, "folder records");
static_assert(kRegistryBytes == kFolderOffset + 4 && kRegistryOffset == kRegistryBytes + 4, "registry records");
static_assert(kRegistryOffset + 4 == kUninstallLogHeaderSize, "UninstallLogHeader is 108 bytes");
} // namespace uninstall_log_offsets

static_assert(kLogFilePathSize + 1 == kLogFileRecordSize, "a file record is its path and the kept byte");
