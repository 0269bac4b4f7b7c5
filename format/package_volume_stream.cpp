// CPackageVolumeStream: reads across volume boundaries as if the volumes were one file.
#include "format/package_volume_stream.h"

#include "format/package_records.h"
#include "format/plain_file.h"
#include "framework/exception.h"

#include <algorithm>

void CPackageVolumeStream::AddVolume(std::unique_ptr<ISeekableFile> pFile, std::string strName)
{
    std::uint64_t nSkip = m_vecParts.empty() ? 0 : kVolumeHeaderSize;
    std::uint64_t nFileLength = pFile->GetLength();
    std::uint64_t nLength = nFileLength > nSkip ? nFileLength - nSkip : 0;
    m_vecParts.push_back(SPart{std::move(pFile), std::move(strName), m_nLength, nSkip, nLength});
    m_nLength += nLength;
    m_vecOpen.insert(m_vecOpen.begin(), m_vecParts.size() - 1);
    while (m_vecOpen.size() > kOpenVolumes)
        CloseLeastRecent();
}

std::size_t CPackageVolumeStream::FindPart(std::uint64_t nStreamOffset) const
{
    // The parts' ends never decrease; an empty part ends where the one before it does and
    // is passed over.
    auto it = std::partition_point(m_vecParts.begin(), m_vecParts.end(), [nStreamOffset](const SPart& part) {
        return part.m_nStart + part.m_nLength <= nStreamOffset;
    });
    return static_cast<std::size_t>(it - m_vecParts.begin());
}

void CPackageVolumeStream::CloseLeastRecent()
{
    m_vecParts[m_vecOpen.back()].m_pFile->Close();
    m_vecOpen.pop_back();
}

ISeekableFile& CPackageVolumeStream::Use(std::size_t iPart)
{
    SPart& part = m_vecParts[iPart];
    auto it = std::find(m_vecOpen.begin(), m_vecOpen.end(), iPart);
    if (it != m_vecOpen.end()) {
        std::rotate(m_vecOpen.begin(), it, it + 1);
        return *part.m_pFile;
    }
    while (m_vecOpen.size() >= kOpenVolumes)
        CloseLeastRecent();
    // Only a file on disk can fail to open again, and its last error says why.
    if (!part.m_pFile->Open(part.m_strName))
        throw new CFileException(CFileException::genericException, CFileException::opOpen, part.m_strName,
                                 CSystemFile::LastError());
    m_vecOpen.insert(m_vecOpen.begin(), iPart);
    return *part.m_pFile;
}

std::size_t CPackageVolumeStream::Read(void* pBuffer, std::size_t nCount)
{
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount && m_nPosition < m_nLength) {
        std::size_t iPart = FindPart(m_nPosition);
        if (iPart == m_vecParts.size())
            break;
        const SPart& part = m_vecParts[iPart];
        ISeekableFile& file = Use(iPart);
        std::uint64_t nInPart = m_nPosition - part.m_nStart;
        std::uint64_t nLeft = part.m_nLength - nInPart;
        std::size_t nWant = nCount - nDone;
        if (nWant > nLeft)
            nWant = static_cast<std::size_t>(nLeft);
        // Seeking a stdio file drops its buffer: only seek when the reads are not in order.
        if (file.GetPosition() != part.m_nSkip + nInPart)
            file.Seek(part.m_nSkip + nInPart);
        std::size_t nRead = file.Read(pOut + nDone, nWant);
        nDone += nRead;
        m_nPosition += nRead;
        if (nRead < nWant)
            break; // the volume shrank under us: report a short read, never loop
    }
    return nDone;
}

void CPackageVolumeStream::Close()
{
    while (!m_vecOpen.empty())
        CloseLeastRecent();
}

void CPackageVolumeStream::Locate(std::uint64_t nStreamOffset, std::string& strVolume, std::uint64_t& nFileOffset) const
{
    if (m_vecParts.empty()) {
        strVolume.clear();
        nFileOffset = nStreamOffset;
        return;
    }
    std::size_t iPart = FindPart(nStreamOffset);
    if (iPart == m_vecParts.size()) {
        const SPart& last = m_vecParts.back();
        strVolume = last.m_strName;
        nFileOffset = last.m_nSkip + last.m_nLength + (nStreamOffset - m_nLength);
        return;
    }
    const SPart& part = m_vecParts[iPart];
    strVolume = part.m_strName;
    nFileOffset = part.m_nSkip + (nStreamOffset - part.m_nStart);
}
