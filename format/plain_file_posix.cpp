// The platform file of CPlainFile where there is no Win32: <cstdio>, 64-bit offsets.
#include "format/plain_file.h"

#include <cerrno>
#include <cstdio>

namespace {
class CStdioFile : public CSystemFile {
public:
    explicit CStdioFile(std::FILE* pFile) : m_pFile(pFile) {}
    ~CStdioFile() override { Close(); }

    bool Read(void* pBuffer, std::size_t nCount, std::size_t& nRead) override
    {
        nRead = std::fread(pBuffer, 1, nCount, m_pFile);
        return nRead == nCount || !std::ferror(m_pFile);
    }
    bool Write(const void* pBuffer, std::size_t nCount) override
    {
        return std::fwrite(pBuffer, 1, nCount, m_pFile) == nCount;
    }
    bool Seek(std::uint64_t nPosition) override { return fseeko(m_pFile, static_cast<off_t>(nPosition), SEEK_SET) == 0; }
    bool Measure(std::uint64_t& nLength) override
    {
        if (fseeko(m_pFile, 0, SEEK_END) != 0)
            return false;
        const off_t nEnd = ftello(m_pFile);
        if (nEnd < 0)
            return false;
        nLength = static_cast<std::uint64_t>(nEnd);
        return Seek(0);
    }
    bool Close() override
    {
        if (m_pFile == nullptr)
            return true;
        std::FILE* pFile = m_pFile;
        m_pFile = nullptr;
        return std::fclose(pFile) == 0;
    }

private:
    std::FILE* m_pFile;
};
} // namespace

std::unique_ptr<CSystemFile> CSystemFile::Open(const std::string& strPath, Mode nMode)
{
    static const char* const kModes[] = {"rb", "wb", "r+b", "w+b", "w+bx"};
    std::FILE* pFile = std::fopen(strPath.c_str(), kModes[nMode]);
    if (pFile == nullptr)
        return nullptr;
    return std::make_unique<CStdioFile>(pFile);
}

long CSystemFile::LastError()
{
    return errno;
}
