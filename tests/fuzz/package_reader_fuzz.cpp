// Fuzz target: the package reader over a whole package image held in memory.
//
// The first input byte picks how the rest is read: bit 0 repairs totalSize and both
// checksums first (so that mutations reach the directory table and file entries instead
// of dying at the checksum), bit 1 reads the bytes as _setup.spd, bit 2 cuts the image
// into three volumes joined by the volume stream, bit 3 reads in one pass as spdtool
// extract does. Every failure must be a CSetupException; anything else, or a sanitizer
// report, is a bug. The fuzzer takes every rejection as a fine outcome; the corpus replay
// checks each seed's against its name.
#include "tests/fuzz/package_reader_fuzz.h"

#include "format/package_folding_file.h"
#include "format/package_memory_file.h"
#include "format/package_reader.h"
#include "format/package_volume_stream.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Keeps the first rejection and lets the reading go on, so that mutated inputs still
// reach the checks after the one that failed.
class COutcome {
public:
    void Reject(CSetupException* e)
    {
        if (m_outcome.bAccepted) {
            m_outcome.bAccepted = false;
            m_outcome.nPhaseMessage = e->m_nPhaseMessage;
            m_outcome.nCauseMessage = e->m_nCauseMessage;
        }
        e->Delete();
    }
    SFuzzOutcome m_outcome;
};

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

bool TryReadHeader(ISeekableFile& headerFile, SetupHeader& header, COutcome& outcome)
{
    try {
        header = ReadSetupHeader(headerFile, "user.spd");
        return true;
    } catch (CSetupException* e) {
        outcome.Reject(e);
        return false;
    }
}

void ReadPackage(ISeekableFile& headerFile, ISeekableFile& stream, COutcome& outcome)
{
    SetupHeader header;
    if (!TryReadHeader(headerFile, header, outcome))
        return;
    CPackageReader reader(stream, header);
    bool bSound = true;
    try {
        reader.VerifyStream();
    } catch (CSetupException* e) {
        outcome.Reject(e);
        bSound = false;
    }
    try {
        reader.ReadDirectoryTable();
    } catch (CSetupException* e) {
        outcome.Reject(e);
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
        outcome.Reject(e);
    }
}

// The one-pass reading of spdtool extract: checksums folded while the entries are read.
// Whatever the reader skipped or re-read, the folded checksum must be the straight one.
void ReadPackageInOnePass(ISeekableFile& headerFile, ISeekableFile& stream, const std::vector<unsigned char>& image,
                          COutcome& outcome)
{
    SetupHeader header;
    if (!TryReadHeader(headerFile, header, outcome))
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
        outcome.Reject(e);
    }
    try {
        folding.FoldUpTo(folding.GetLength());
    } catch (CSetupException* e) {
        outcome.Reject(e);
        return;
    }
    if (image.size() >= kSetupHeaderSize && checksums.DataChecksum() != Adler(image, kSetupHeaderSize))
        __builtin_trap();
}

} // namespace

SFuzzOutcome ReadFuzzInput(const std::uint8_t* pData, std::size_t nSize)
{
    COutcome outcome;
    if (nSize < 1)
        return outcome.m_outcome;
    unsigned nMode = pData[0];
    std::vector<unsigned char> image(pData + 1, pData + nSize);

    if (nMode & 2) {
        CMemoryFile file(image.data(), image.size());
        CChecksumSink sink;
        try {
            ReadUninstaller(file, "_setup.spd", sink);
        } catch (CSetupException* e) {
            outcome.Reject(e);
        }
        return outcome.m_outcome;
    }
    if (nMode & 1)
        RepairSums(image);
    CMemoryFile headerFile(image.data(), image.size());
    if (nMode & 8) {
        CMemoryFile stream(image.data(), image.size());
        ReadPackageInOnePass(headerFile, stream, image, outcome);
        return outcome.m_outcome;
    }
    if (!(nMode & 4)) {
        CMemoryFile stream(image.data(), image.size());
        ReadPackage(headerFile, stream, outcome);
        return outcome.m_outcome;
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
    ReadPackage(headerFile, stream, outcome);
    return outcome.m_outcome;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ReadFuzzInput(pData, nSize);
    return 0;
}
