// Fuzz target: the package reader over a whole package image held in memory.
//
// The first input byte picks how the rest is read: bit 0 repairs totalSize and both
// checksums first (so that mutations reach the directory table and file entries instead
// of dying at the checksum), bit 1 reads the bytes as _setup.spd, bit 2 cuts the image
// into three volumes joined by the volume stream. Every failure must be a
// CSetupException; anything else, or a sanitizer report, is a bug.
#include "engine/package_folding_file.h"
#include "engine/package_memory_file.h"
#include "engine/package_reader.h"
#include "engine/package_volume_stream.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class CChecksumSink : public IByteSink {
public:
    void Write(const unsigned char* pData, std::size_t nCount) override
    {
        m_nAdler = adler32(m_nAdler, pData, static_cast<uInt>(nCount));
    }
    uLong m_nAdler = 1;
};

std::uint32_t Get32(const std::vector<unsigned char>& image, std::size_t nAt)
{
    return static_cast<std::uint32_t>(image[nAt]) | (static_cast<std::uint32_t>(image[nAt + 1]) << 8) |
           (static_cast<std::uint32_t>(image[nAt + 2]) << 16) | (static_cast<std::uint32_t>(image[nAt + 3]) << 24);
}

void Put32(std::vector<unsigned char>& image, std::size_t nAt, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        image[nAt + i] = static_cast<unsigned char>(n >> (8 * i));
}

std::uint32_t Adler(const std::vector<unsigned char>& image, std::size_t nFrom)
{
    return static_cast<std::uint32_t>(adler32(1, image.data() + nFrom, static_cast<uInt>(image.size() - nFrom)));
}

void RepairSums(std::vector<unsigned char>& image)
{
    if (image.size() < kSetupHeaderSize)
        return;
    std::size_t nSection = Get32(image, 40);
    if (nSection >= kSetupHeaderSize && nSection + kBlockHeaderSize <= image.size())
        Put32(image, nSection + 4, Adler(image, nSection + kBlockHeaderSize));
    Put32(image, 20, static_cast<std::uint32_t>(image.size()));
    Put32(image, 16, Adler(image, kSetupHeaderSize));
}

bool TryReadHeader(ISeekableFile& headerFile, SetupHeader& header)
{
    try {
        header = ReadSetupHeader(headerFile, "user.spd");
        return true;
    } catch (CSetupException* e) {
        e->Delete();
        return false;
    }
}

void ReadPackage(ISeekableFile& headerFile, ISeekableFile& stream)
{
    SetupHeader header;
    if (!TryReadHeader(headerFile, header))
        return;
    CPackageReader reader(stream, header);
    bool bSound = true;
    try {
        reader.VerifyStream();
    } catch (CSetupException* e) {
        e->Delete();
        bSound = false;
    }
    try {
        reader.ReadDirectoryTable();
    } catch (CSetupException* e) {
        e->Delete();
    }
    try {
        if (bSound)
            reader.BeginFileSection();
        else
            reader.BeginFileSectionUnchecked();
        FileRecord record;
        bool bSkip = false;
        while (reader.ReadNextFileEntry(record)) {
            CChecksumSink sink;
            // Alternate between inflating and skipping, so both paths run.
            if (bSkip)
                reader.SkipDataBlock();
            else
                reader.InflateDataBlock(&sink);
            bSkip = !bSkip;
        }
    } catch (CSetupException* e) {
        e->Delete();
    }
}

// The one-pass reading of spdtool extract: checksums folded while the entries are read.
// Whatever the reader skipped or re-read, the folded checksum must be the straight one.
void ReadPackageInOnePass(ISeekableFile& headerFile, ISeekableFile& stream, const std::vector<unsigned char>& image)
{
    SetupHeader header;
    if (!TryReadHeader(headerFile, header))
        return;
    CStreamChecksums checksums(header, stream.GetLength());
    CFoldingFile folding(stream, checksums);
    CPackageReader reader(folding, header);
    try {
        reader.ReadDirectoryTable();
        reader.BeginFileSectionUnchecked();
        FileRecord record;
        while (reader.ReadNextFileEntry(record)) {
            CChecksumSink sink;
            reader.InflateDataBlock(&sink);
        }
    } catch (CSetupException* e) {
        e->Delete();
    }
    try {
        folding.FoldUpTo(folding.GetLength());
    } catch (CSetupException* e) {
        e->Delete();
        return;
    }
    if (image.size() >= kSetupHeaderSize && checksums.DataChecksum() != Adler(image, kSetupHeaderSize))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    if (nSize < 1)
        return 0;
    unsigned nMode = pData[0];
    std::vector<unsigned char> image(pData + 1, pData + nSize);

    if (nMode & 2) {
        CMemoryFile file(image.data(), image.size());
        CChecksumSink sink;
        try {
            ReadUninstaller(file, "_setup.spd", sink);
        } catch (CSetupException* e) {
            e->Delete();
        }
        return 0;
    }
    if (nMode & 1)
        RepairSums(image);
    CMemoryFile headerFile(image.data(), image.size());
    if (nMode & 8) {
        CMemoryFile stream(image.data(), image.size());
        ReadPackageInOnePass(headerFile, stream, image);
        return 0;
    }
    if (!(nMode & 4)) {
        CMemoryFile stream(image.data(), image.size());
        ReadPackage(headerFile, stream);
        return 0;
    }
    // Three volumes: the first third whole, the rest behind 88 bytes of volume header.
    std::size_t nThird = image.size() / 3;
    std::vector<unsigned char> second(kVolumeHeaderSize, 0);
    second.insert(second.end(), image.begin() + static_cast<std::ptrdiff_t>(nThird),
                  image.begin() + static_cast<std::ptrdiff_t>(2 * nThird));
    std::vector<unsigned char> third(kVolumeHeaderSize, 0);
    third.insert(third.end(), image.begin() + static_cast<std::ptrdiff_t>(2 * nThird), image.end());
    CPackageVolumeStream stream;
    stream.AddVolume(std::make_unique<CMemoryFile>(image.data(), nThird), "user.spd");
    stream.AddVolume(std::make_unique<CMemoryFile>(std::move(second)), "user.001");
    stream.AddVolume(std::make_unique<CMemoryFile>(std::move(third)), "user.002");
    ReadPackage(headerFile, stream);
    return 0;
}
