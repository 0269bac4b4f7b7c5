// The platform file of CPlainFile on Windows: the framework's file class, opened with
// exclusive sharing, so that nobody changes a setup file while it is read or written. It
// also has no limit on open files like the C runtime's 512 streams: a package may have
// a thousand volumes open at once.
#include "format/plain_file.h"

#include "framework/file.h"

#include <limits>

namespace {
// The system error of the last failure, for CPlainFile's exception text.
long g_lLastError = 0;

class CFrameworkFile : public CSystemFile {
public:
    bool Read(void* pBuffer, std::size_t nCount, std::size_t& nRead) override
    {
        return Guard([&] {
            unsigned char* pBytes = static_cast<unsigned char*>(pBuffer);
            nRead = 0;
            while (nRead < nCount) {
                const unsigned nWant = ChunkOf(nCount - nRead);
                const unsigned nGot = m_file.Read(pBytes + nRead, nWant);
                nRead += nGot;
                if (nGot < nWant)
                    break;
            }
        });
    }
    bool Write(const void* pBuffer, std::size_t nCount) override
    {
        return Guard([&] {
            const unsigned char* pBytes = static_cast<const unsigned char*>(pBuffer);
            for (std::size_t nDone = 0; nDone < nCount;) {
                const unsigned nPart = ChunkOf(nCount - nDone);
                m_file.Write(pBytes + nDone, nPart);
                nDone += nPart;
            }
        });
    }
    bool Seek(std::uint64_t nPosition) override
    {
        return Guard([&] { m_file.Seek(static_cast<long long>(nPosition), CFile::begin); });
    }
    bool Measure(std::uint64_t& nLength) override
    {
        return Guard([&] { nLength = m_file.GetLength(); });
    }
    bool Close() override
    {
        return Guard([&] { m_file.Close(); });
    }

    CFile m_file;

private:
    static unsigned ChunkOf(std::size_t nLeft)
    {
        const std::size_t nMost = std::numeric_limits<unsigned>::max();
        return static_cast<unsigned>(nLeft < nMost ? nLeft : nMost);
    }

    // The file class throws; CPlainFile words its own exception with the error code.
    template <class F>
    bool Guard(F action)
    {
        try {
            action();
            return true;
        } catch (CFileException* pException) {
            g_lLastError = pException->m_lOsError;
            pException->Delete();
            return false;
        }
    }
};
} // namespace

std::unique_ptr<CSystemFile> CSystemFile::Open(const std::string& strPath, Mode nMode)
{
    static const unsigned kFlags[] = {
        CFile::modeRead | CFile::shareExclusive,
        CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive,
        CFile::modeReadWrite | CFile::shareExclusive,
        CFile::modeReadWrite | CFile::modeCreate | CFile::shareExclusive,
        CFile::modeReadWrite | CFile::modeCreateNew | CFile::shareExclusive,
    };
    auto pFile = std::make_unique<CFrameworkFile>();
    try {
        pFile->m_file.Open(strPath, kFlags[nMode]);
    } catch (CFileException* pException) {
        g_lLastError = pException->m_lOsError;
        pException->Delete();
        return nullptr;
    }
    return pFile;
}

long CSystemFile::LastError()
{
    return g_lLastError;
}
