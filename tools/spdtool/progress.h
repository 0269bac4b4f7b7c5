// The progress line spdtool shows on stderr during long work, when stderr is a terminal.
#pragma once

#include "format/seekable_file.h"

#include <cstdint>
#include <string>

class CProgressLine {
public:
    CProgressLine(std::string strLabel, std::uint64_t nTotal);
    ~CProgressLine();
    CProgressLine(const CProgressLine&) = delete;
    CProgressLine& operator=(const CProgressLine&) = delete;

    void Advance(std::uint64_t nBytes);

private:
    std::string m_strLabel;
    std::uint64_t m_nTotal;
    std::uint64_t m_nDone = 0;
    int m_nShown = -1;
    bool m_bActive;
};

// Passes every operation to the file underneath and counts the bytes read.
class CCountingFile : public ISeekableFile {
public:
    CCountingFile(ISeekableFile& file, CProgressLine& progress) : m_file(file), m_progress(progress) {}
    bool Open(const std::string& strPath) override { return m_file.Open(strPath); }
    std::size_t Read(void* pBuffer, std::size_t nCount) override
    {
        std::size_t n = m_file.Read(pBuffer, nCount);
        m_progress.Advance(n);
        return n;
    }
    void Seek(std::uint64_t nPosition) override { m_file.Seek(nPosition); }
    std::uint64_t GetLength() const override { return m_file.GetLength(); }
    std::uint64_t GetPosition() const override { return m_file.GetPosition(); }
    void Close() override { m_file.Close(); }

private:
    ISeekableFile& m_file;
    CProgressLine& m_progress;
};
