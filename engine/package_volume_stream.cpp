// CPackageVolumeStream: reads across volume boundaries as if the volumes were one file.
#include "engine/package_volume_stream.h"

#include "engine/package_records.h"

void CPackageVolumeStream::AddVolume(std::unique_ptr<ISeekableFile> pFile, std::string strName)
{
    std::uint64_t nSkip = m_vecParts.empty() ? 0 : kVolumeHeaderSize;
    std::uint64_t nFileLength = pFile->GetLength();
    std::uint64_t nLength = nFileLength > nSkip ? nFileLength - nSkip : 0;
    m_vecParts.push_back(SPart{std::move(pFile), std::move(strName), m_nLength, nSkip, nLength});
    m_nLength += nLength;
}

std::size_t CPackageVolumeStream::FindPart(std::uint64_t nStreamOffset) const
{
    // Few volumes: a linear search costs nothing beside the reads.
    for (std::size_t i = 0; i < m_vecParts.size(); ++i) {
        if (nStreamOffset < m_vecParts[i].m_nStart + m_vecParts[i].m_nLength)
            return i;
    }
    return m_vecParts.size();
}

std::size_t CPackageVolumeStream::Read(void* pBuffer, std::size_t nCount)
{
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount && m_nPosition < m_nLength) {
        std::size_t iPart = FindPart(m_nPosition);
        if (iPart == m_vecParts.size())
            break;
        SPart& part = m_vecParts[iPart];
        std::uint64_t nInPart = m_nPosition - part.m_nStart;
        std::uint64_t nLeft = part.m_nLength - nInPart;
        std::size_t nWant = nCount - nDone;
        if (nWant > nLeft)
            nWant = static_cast<std::size_t>(nLeft);
        // Seeking a stdio file drops its buffer: only seek when the reads are not in order.
        if (part.m_pFile->GetPosition() != part.m_nSkip + nInPart)
            part.m_pFile->Seek(part.m_nSkip + nInPart);
        std::size_t nRead = part.m_pFile->Read(pOut + nDone, nWant);
        nDone += nRead;
        m_nPosition += nRead;
        if (nRead < nWant)
            break; // the volume shrank under us: report a short read, never loop
    }
    return nDone;
}

void CPackageVolumeStream::Close()
{
    for (SPart& part : m_vecParts)
        part.m_pFile->Close();
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
