// CPlainFile: positions and lengths kept here, 64-bit on every platform; the bytes move
// through the platform's CSystemFile.
#include "format/plain_file.h"

#include "framework/exception.h"

CPlainFile::CPlainFile() = default;

CPlainFile::~CPlainFile()
{
    if (m_pFile != nullptr)
        m_pFile->Close();
}

bool CPlainFile::OpenMode(const std::string& strPath, CSystemFile::Mode nMode)
{
    if (m_pFile != nullptr)
        Close();
    std::unique_ptr<CSystemFile> pFile = CSystemFile::Open(strPath, nMode);
    if (pFile == nullptr)
        return false;
    std::uint64_t nLength = 0;
    const bool bCreated = nMode == CSystemFile::CreateNew || nMode == CSystemFile::CreateReadWrite ||
                          nMode == CSystemFile::CreateOnlyReadWrite;
    if (!bCreated && !pFile->Measure(nLength)) {
        pFile->Close();
        return false;
    }
    m_pFile = std::move(pFile);
    m_strPath = strPath;
    m_nPosition = 0;
    m_nLength = nLength;
    m_bWritten = false;
    return true;
}

bool CPlainFile::Open(const std::string& strPath)
{
    return OpenMode(strPath, CSystemFile::ReadOnly);
}

bool CPlainFile::Create(const std::string& strPath)
{
    return OpenMode(strPath, CSystemFile::CreateNew);
}

bool CPlainFile::OpenForUpdate(const std::string& strPath)
{
    return OpenMode(strPath, CSystemFile::ReadWrite);
}

bool CPlainFile::CreateReadWrite(const std::string& strPath)
{
    return OpenMode(strPath, CSystemFile::CreateReadWrite);
}

bool CPlainFile::CreateOnlyReadWrite(const std::string& strPath)
{
    return OpenMode(strPath, CSystemFile::CreateOnlyReadWrite);
}

std::size_t CPlainFile::Read(void* pBuffer, std::size_t nCount)
{
    if (m_pFile == nullptr || nCount == 0)
        return 0;
    std::size_t nRead = 0;
    if (!m_pFile->Read(pBuffer, nCount, nRead))
        throw new CFileException(CFileException::genericException, CFileException::opRead, m_strPath,
                                 CSystemFile::LastError());
    m_nPosition += nRead;
    return nRead;
}

void CPlainFile::Write(const void* pBuffer, std::size_t nCount)
{
    if (m_pFile == nullptr)
        throw new CFileException(CFileException::genericException, CFileException::opWrite, m_strPath);
    if (nCount == 0)
        return;
    m_bWritten = true;
    if (!m_pFile->Write(pBuffer, nCount))
        throw new CFileException(CFileException::diskFull, CFileException::opWrite, m_strPath, CSystemFile::LastError());
    m_nPosition += nCount;
    if (m_nPosition > m_nLength)
        m_nLength = m_nPosition;
}

void CPlainFile::Seek(std::uint64_t nPosition)
{
    if (m_pFile == nullptr || !m_pFile->Seek(nPosition))
        throw new CFileException(CFileException::badSeek, CFileException::opSeek, m_strPath, CSystemFile::LastError());
    m_nPosition = nPosition;
}

void CPlainFile::Close()
{
    if (m_pFile == nullptr)
        return;
    std::unique_ptr<CSystemFile> pFile = std::move(m_pFile);
    if (!pFile->Close() && m_bWritten)
        throw new CFileException(CFileException::diskFull, CFileException::opClose, m_strPath, CSystemFile::LastError());
}
