// CPlainFile: exclusive where the platform allows, 64-bit positions on every platform.
#include "engine/plain_file.h"

#include "framework/exception.h"

#include <cerrno>

#ifdef _WIN32
#include <share.h>
#endif

namespace {

std::FILE* OpenStream(const std::string& strPath, const char* pszMode)
{
#ifdef _WIN32
    // Setup files are opened with exclusive sharing: nobody may change them meanwhile.
    return _fsopen(strPath.c_str(), pszMode, _SH_DENYRW);
#else
    return std::fopen(strPath.c_str(), pszMode);
#endif
}

bool SeekStream(std::FILE* pFile, std::uint64_t nPosition)
{
#ifdef _WIN32
    return _fseeki64(pFile, static_cast<long long>(nPosition), SEEK_SET) == 0;
#else
    return fseeko(pFile, static_cast<off_t>(nPosition), SEEK_SET) == 0;
#endif
}

bool MeasureStream(std::FILE* pFile, std::uint64_t& nLength)
{
#ifdef _WIN32
    if (_fseeki64(pFile, 0, SEEK_END) != 0)
        return false;
    long long nEnd = _ftelli64(pFile);
#else
    if (fseeko(pFile, 0, SEEK_END) != 0)
        return false;
    off_t nEnd = ftello(pFile);
#endif
    if (nEnd < 0)
        return false;
    nLength = static_cast<std::uint64_t>(nEnd);
    return SeekStream(pFile, 0);
}

} // namespace

CPlainFile::~CPlainFile()
{
    if (m_pFile != nullptr)
        std::fclose(m_pFile);
}

bool CPlainFile::OpenMode(const std::string& strPath, const char* pszMode, bool bMeasure)
{
    if (m_pFile != nullptr)
        Close();
    m_pFile = OpenStream(strPath, pszMode);
    if (m_pFile == nullptr)
        return false;
    m_strPath = strPath;
    m_nPosition = 0;
    m_nLength = 0;
    m_bWritten = false;
    if (bMeasure && !MeasureStream(m_pFile, m_nLength)) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
        return false;
    }
    return true;
}

bool CPlainFile::Open(const std::string& strPath)
{
    return OpenMode(strPath, "rb", true);
}

bool CPlainFile::Create(const std::string& strPath)
{
    return OpenMode(strPath, "wb", false);
}

bool CPlainFile::OpenForUpdate(const std::string& strPath)
{
    return OpenMode(strPath, "r+b", true);
}

std::size_t CPlainFile::Read(void* pBuffer, std::size_t nCount)
{
    if (m_pFile == nullptr || nCount == 0)
        return 0;
    std::size_t nRead = std::fread(pBuffer, 1, nCount, m_pFile);
    if (nRead < nCount && std::ferror(m_pFile))
        throw new CFileException(CFileException::genericException, CFileException::opRead, m_strPath, errno);
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
    if (std::fwrite(pBuffer, 1, nCount, m_pFile) != nCount)
        throw new CFileException(CFileException::diskFull, CFileException::opWrite, m_strPath, errno);
    m_nPosition += nCount;
    if (m_nPosition > m_nLength)
        m_nLength = m_nPosition;
}

void CPlainFile::Seek(std::uint64_t nPosition)
{
    if (m_pFile == nullptr || !SeekStream(m_pFile, nPosition))
        throw new CFileException(CFileException::badSeek, CFileException::opSeek, m_strPath, errno);
    m_nPosition = nPosition;
}

void CPlainFile::Close()
{
    if (m_pFile == nullptr)
        return;
    std::FILE* pFile = m_pFile;
    m_pFile = nullptr;
    if (std::fclose(pFile) != 0 && m_bWritten)
        throw new CFileException(CFileException::diskFull, CFileException::opClose, m_strPath, errno);
}
