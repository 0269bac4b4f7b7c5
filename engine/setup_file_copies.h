// The setup files and volumes copied into the run's private temporary folder, where
// nobody else can change them while the package is read.
#pragma once

#include <string>
#include <vector>

class CSetupThreadLink;
class CVolumeSearch;

// Copies strSource into strTempFolder under its own name, in chunks with a point where
// pLink's thread may be held before each (when there is a link), leaving a copy of the
// same size made before in place. Raises phase 1, cause 2 when that fails. The copy's
// path is added to tempFiles and returned.
std::string CopyIntoTempFolder(const std::string& strSource, const std::string& strTempFolder,
                               std::vector<std::string>& tempFiles, const CSetupThreadLink* pLink = nullptr);

// Gathers continuation volumes 1 .. nVolumeCount - 1 in order: a cancel check, the
// search (which may ask for a disk), the copy, added to tempFiles and volumeCopies, and
// one progress step per volume.
void GatherVolumes(CVolumeSearch& search, unsigned nVolumeCount, const std::string& strTempFolder,
                   CSetupThreadLink& link, std::vector<std::string>& tempFiles,
                   std::vector<std::string>& volumeCopies);
