// Finding a package on disk: user.spd from a folder or a path, and its continuation
// volumes beside it or in sibling "Disk N" folders, joined into one package stream.
#pragma once

#include "format/package_records.h"
#include "format/package_volume_stream.h"

#include <memory>
#include <string>
#include <vector>

// The folder volume nVolume lies in on a set of disks, where the setup program looks for
// it: "Disk 1" for user.spd (volume 0), "Disk k+1" for user.00k.
std::string DiskFolderName(unsigned nVolume);

class CLocatedPackage {
public:
    // Reads and checks the setup header and finds and checks every volume. Raises
    // CSetupException* for a damaged header and CToolError for a missing or foreign volume.
    explicit CLocatedPackage(const std::string& strPackage);

    const std::string& GetSpdPath() const { return m_strSpdPath; }
    const SetupHeader& GetHeader() const { return m_header; }
    CPackageVolumeStream& GetStream() { return m_stream; }
    const std::vector<std::string>& GetVolumePaths() const { return m_vecVolumePaths; }
    // Folder of user.spd, where _setup.spd lies too.
    std::string GetFolder() const;
    // "user.002 offset 1234" for a stream offset.
    std::string DescribeOffset(std::uint64_t nStreamOffset) const;

private:
    std::string m_strSpdPath;
    SetupHeader m_header;
    CPackageVolumeStream m_stream;
    std::vector<std::string> m_vecVolumePaths;
};
