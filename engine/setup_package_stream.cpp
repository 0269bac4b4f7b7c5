// Joining the volume copies into one file that the package reader can seek in.
#include "engine/setup_package_stream.h"

#include "app/setup_thread_link.h"
#include "format/package_records.h"
#include "engine/temp_file_names.h"
#include "sys/my_exception.h"

#include <new>

namespace {
std::vector<unsigned char> AllocateJoinBuffer()
{
    try {
        return std::vector<unsigned char>(kChecksumChunkSize);
    } catch (const std::bad_alloc&) {
        ThrowSetupException(PHASE_PREPARING, CAUSE_NO_MEMORY);
    }
}

void AppendVolume(CPlainFile& joined, const std::string& strCopy, bool bDropHeader, std::vector<unsigned char>& buffer,
                  CSetupThreadLink& link)
{
    CPlainFile volume;
    if (!volume.Open(strCopy))
        ThrowSetupException(PHASE_PREPARING, CAUSE_FILE_ERROR);
    std::size_t nSkip = bDropHeader ? kVolumeHeaderSize : 0;
    for (;;) {
        const std::size_t nRead = volume.Read(buffer.data(), buffer.size());
        if (nRead == 0)
            break;
        link.CheckCancel();
        // Only the first chunk holds the header; a volume shorter than it adds nothing.
        const std::size_t nDropped = nSkip < nRead ? nSkip : nRead;
        joined.Write(buffer.data() + nDropped, nRead - nDropped);
        nSkip = 0;
    }
    volume.Close();
}
} // namespace

std::unique_ptr<CPlainFile> BuildPackageStream(const std::vector<std::string>& volumeCopies,
                                               const std::string& strTempFolder, CSetupThreadLink& link,
                                               std::vector<std::string>& tempFiles)
{
    auto pStream = std::make_unique<CPlainFile>();
    if (volumeCopies.size() <= 1) {
        if (volumeCopies.empty() || !pStream->Open(volumeCopies.front()))
            ThrowSetupException(PHASE_PREPARING, CAUSE_FILE_ERROR);
        return pStream;
    }
    std::vector<unsigned char> buffer = AllocateJoinBuffer();
    // No cancel check while the name is drawn: the volumes' checks follow at once.
    CreateTempFile(*pStream, strTempFolder, PHASE_PREPARING, nullptr, tempFiles);
    for (std::size_t nVolume = 0; nVolume < volumeCopies.size(); ++nVolume) {
        link.CheckCancel();
        AppendVolume(*pStream, volumeCopies[nVolume], nVolume > 0, buffer, link);
    }
    pStream->Seek(0);
    return pStream;
}
