// A package stream that folds its checksums while the reader passes over it, so that a
// tool can check them in the same pass that inflates the files instead of reading the
// whole package twice. Bytes the reader seeks over are read and folded on the way.
#pragma once

#include "format/package_checksums.h"
#include "format/seekable_file.h"

#include <vector>

class CFoldingFile : public ISeekableFile {
public:
    CFoldingFile(ISeekableFile& stream, CStreamChecksums& checksums) : m_stream(stream), m_checksums(checksums) {}

    bool Open(const std::string& strPath) override { return m_stream.Open(strPath); }
    std::size_t Read(void* pBuffer, std::size_t nCount) override;
    void Seek(std::uint64_t nPosition) override { m_stream.Seek(nPosition); }
    std::uint64_t GetLength() const override { return m_stream.GetLength(); }
    std::uint64_t GetPosition() const override { return m_stream.GetPosition(); }
    void Close() override { m_stream.Close(); }

    // Folds whatever the reader left unread up to nEnd (the end of the stream, when the
    // reader is done), and puts the position back where it was.
    void FoldUpTo(std::uint64_t nEnd);

private:
    ISeekableFile& m_stream;
    CStreamChecksums& m_checksums;
    std::vector<unsigned char> m_vecGap;
};
