// The package stream of a multi-volume package: user.spd whole, then every continuation
// volume without its VolumeHeader, read in place instead of copied into one joined file.
#pragma once

#include "format/seekable_file.h"

#include <memory>
#include <string>
#include <vector>

class CPackageVolumeStream : public ISeekableFile {
public:
    // Volumes kept open at once. A package may have thousands of volumes, more than a
    // process may have files open; reads go through the volumes in order, coming back
    // only to user.spd and, across a boundary, to the previous volume.
    static constexpr std::size_t kOpenVolumes = 4;

    // Volume 0 is user.spd; every later volume has its first 88 bytes dropped. A volume
    // shorter than that adds nothing (never a negative length): the size and checksum
    // checks then report the package as damaged. pFile comes open; strName is the path
    // it was opened with, by which it is opened again after it was closed to keep the
    // count of open volumes down.
    void AddVolume(std::unique_ptr<ISeekableFile> pFile, std::string strName);

    // The parts come from AddVolume; a path alone cannot say where the volumes are.
    bool Open(const std::string&) override { return false; }
    // Raises CFileException when a volume that was closed cannot be opened again.
    std::size_t Read(void* pBuffer, std::size_t nCount) override;
    void Seek(std::uint64_t nPosition) override { m_nPosition = nPosition; }
    std::uint64_t GetLength() const override { return m_nLength; }
    std::uint64_t GetPosition() const override { return m_nPosition; }
    void Close() override;

    // Where a stream offset lies: the volume's name and the offset inside that file.
    // Offsets at or past the end are placed at the end of the last volume.
    void Locate(std::uint64_t nStreamOffset, std::string& strVolume, std::uint64_t& nFileOffset) const;
    std::size_t GetVolumeCount() const { return m_vecParts.size(); }

private:
    struct SPart {
        std::unique_ptr<ISeekableFile> m_pFile;
        std::string m_strName;
        std::uint64_t m_nStart;  // stream offset of the part's first byte
        std::uint64_t m_nSkip;   // bytes of the file in front of the part
        std::uint64_t m_nLength; // bytes of the part
    };
    std::size_t FindPart(std::uint64_t nStreamOffset) const;
    // Opens part iPart when it is closed, closing the volume used longest ago when too
    // many are open.
    ISeekableFile& Use(std::size_t iPart);
    void CloseLeastRecent();

    std::vector<SPart> m_vecParts;
    std::vector<std::size_t> m_vecOpen; // open parts, the most recently used first
    std::uint64_t m_nLength = 0;
    std::uint64_t m_nPosition = 0;
};
