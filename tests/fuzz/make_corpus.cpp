// Writes the fuzzer's seed corpus with the package writer: small packages of every shape,
// sound and damaged in one spot each, every one prefixed with the mode byte the fuzz
// target reads first and named for the outcome its reading must have (see replay_main).
#include "format/package_exception.h"
#include "format/package_writer.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Image = std::vector<unsigned char>;

Image ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What reading a seed must come to: accepted, or rejected first with this phase and cause.
struct SExpected {
    unsigned nPhase = 0;
    unsigned nCause = 0;
};
const SExpected kAccepted;

void WriteSeed(const fs::path& folder, const std::string& strName, unsigned char nMode, const Image& image,
               SExpected expected)
{
    std::string strFile = strName + "-mode" + std::to_string(nMode) + "-" +
                          (expected.nPhase == 0 ? std::string("accepted")
                                                : "phase" + std::to_string(expected.nPhase) + "-cause" +
                                                      std::to_string(expected.nCause));
    std::ofstream out(folder / strFile, std::ios::binary);
    out.put(static_cast<char>(nMode));
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

PackageFileEntry File(std::uint8_t root, std::uint8_t flags, const char* pszFolder, const char* pszName, Image data)
{
    PackageFileEntry file;
    file.root = root;
    file.flags = flags;
    file.strFolder = pszFolder;
    file.strFileName = pszName;
    file.content = std::move(data);
    return file;
}

// The damage below goes through the record codecs, so that only package_records knows
// where each field lies.
Image EditHeader(Image image, const std::function<void(SetupHeader&)>& edit)
{
    SetupHeader header = DecodeSetupHeader(image.data());
    edit(header);
    EncodeSetupHeader(header, image.data());
    return image;
}

Image EditBlock(Image image, std::size_t nAt, const std::function<void(BlockHeader&)>& edit)
{
    BlockHeader block = DecodeBlockHeader(image.data() + nAt);
    edit(block);
    EncodeBlockHeader(block, image.data() + nAt);
    return image;
}

// dataChecksum made right again after damage that a seed means to reach the later checks.
Image WithDataChecksum(Image image)
{
    return EditHeader(image, [&](SetupHeader& header) {
        header.dataChecksum = static_cast<std::uint32_t>(
            adler32(1, image.data() + kSetupHeaderSize, static_cast<uInt>(image.size() - kSetupHeaderSize)));
    });
}

std::size_t SectionAt(const Image& image)
{
    return DecodeSetupHeader(image.data()).fileSectionOffset;
}

// The first file entry's record block, and the data block after it.
std::size_t FirstRecordAt(const Image& image)
{
    return SectionAt(image) + kBlockHeaderSize;
}

std::size_t FirstDataAt(const Image& image)
{
    std::size_t nRecord = FirstRecordAt(image);
    return nRecord + kBlockHeaderSize + DecodeBlockHeader(image.data() + nRecord).storedSize;
}

Image Cut(Image image, std::size_t nSize)
{
    image.resize(nSize);
    return image;
}

// Damaged seeds of a package with directories and files (the mode bits: 1 repairs the
// sums first, 4 joins three volumes, 8 reads in one pass as extract does).
void WriteDamagedPackages(const fs::path& folder, const Image& sound, const Image& bare, const Image& badRoot)
{
    const SExpected header{PHASE_PREPARING, CAUSE_FILE_ERROR};
    const SExpected stream{PHASE_PREPARING, CAUSE_DAMAGED};
    const SExpected directory{PHASE_FOLDERS, CAUSE_DAMAGED};
    const SExpected files{PHASE_FILES, CAUSE_DAMAGED};
    const SExpected inflate{PHASE_FILES, CAUSE_DECOMPRESSION};

    WriteSeed(folder, "header-cut-short", 0, Cut(sound, kSetupHeaderSize - 1), stream);
    WriteSeed(folder, "header-wrong-magic", 0, EditHeader(sound, [](SetupHeader& h) { h.magic ^= 0x100; }), header);
    WriteSeed(folder, "header-wrong-version", 0, EditHeader(sound, [](SetupHeader& h) { h.version = 15; }), header);
    WriteSeed(folder, "header-no-files", 0, EditHeader(sound, [](SetupHeader& h) { h.fileCount = 0; }), header);
    WriteSeed(folder, "header-single-volume-wrong-size", 0, EditHeader(sound, [](SetupHeader& h) {
                  h.volumeCount = 0;
                  ++h.totalSize;
              }),
              header);

    // With more than zero volumes the header is not measured against user.spd; the stream is.
    WriteSeed(folder, "stream-size-wrong", 0, EditHeader(sound, [](SetupHeader& h) { ++h.totalSize; }), stream);
    Image flipped = EditHeader(sound, [](SetupHeader& h) { h.dataChecksum ^= 1; });
    WriteSeed(folder, "stream-checksum-flipped", 0, flipped, stream);
    WriteSeed(folder, "stream-checksum-flipped", 4, flipped, stream);
    // The reader ignores a block's tag; only the stream's checksum sees it changed.
    Image tagged = EditBlock(sound, FirstRecordAt(sound), [](BlockHeader& b) { b.tag = 'X'; });
    WriteSeed(folder, "record-tag-changed", 0, tagged, stream);
    WriteSeed(folder, "record-tag-changed", 1, tagged, kAccepted);

    WriteSeed(folder, "directory-sizes-wrong", 1, EditBlock(sound, kSetupHeaderSize, [](BlockHeader& b) { ++b.unpackedSize; }),
              directory);
    WriteSeed(folder, "directory-checksum-flipped", 1,
              EditBlock(sound, kSetupHeaderSize, [](BlockHeader& b) { b.checksum ^= 2; }), directory);
    WriteSeed(folder, "directory-past-end", 1,
              EditBlock(sound, kSetupHeaderSize, [](BlockHeader& b) { b.storedSize = 0x7FFFFFFF; }), directory);
    Image notZlib = sound;
    notZlib[kSetupHeaderSize + kBlockHeaderSize] ^= 0x01; // zlib's header check fails
    WriteSeed(folder, "directory-not-zlib", 1, notZlib, {PHASE_FOLDERS, CAUSE_DECOMPRESSION});
    WriteSeed(folder, "directory-bad-root", 0, badRoot, directory);
    WriteSeed(folder, "directory-bad-root", 8, badRoot, directory);

    WriteSeed(folder, "section-checksum-flipped", 0,
              WithDataChecksum(EditBlock(sound, SectionAt(sound), [](BlockHeader& b) { b.checksum ^= 1; })), files);
    WriteSeed(folder, "record-sizes-wrong", 1,
              EditBlock(sound, FirstRecordAt(sound), [](BlockHeader& b) { b.unpackedSize = kFileRecordSize - 1; }), files);
    Image dataSum = EditBlock(sound, FirstDataAt(sound), [](BlockHeader& b) { b.checksum ^= 1; });
    WriteSeed(folder, "data-checksum-flipped", 1, dataSum, inflate);
    WriteSeed(folder, "data-checksum-flipped", 5, dataSum, inflate);
    WriteSeed(folder, "data-checksum-flipped", 9, dataSum, inflate);
    WriteSeed(folder, "data-cut-short", 1, Cut(bare, bare.size() - 10), files);
}

void WriteDamagedUninstallers(const fs::path& folder, const Image& sound)
{
    const SExpected damaged{PHASE_FINISHING, CAUSE_DAMAGED};
    auto edit = [&](const std::function<void(UninstallerHeader&)>& change) {
        Image image = sound;
        UninstallerHeader header = DecodeUninstallerHeader(image.data());
        change(header);
        EncodeUninstallerHeader(header, image.data());
        return image;
    };
    WriteSeed(folder, "uninstaller-cut-short", 2, Cut(sound, kUninstallerHeaderSize - 2), damaged);
    WriteSeed(folder, "uninstaller-wrong-magic", 2, edit([](UninstallerHeader& h) { h.magic ^= 1; }), damaged);
    WriteSeed(folder, "uninstaller-checksum-flipped", 2, edit([](UninstallerHeader& h) { h.checksum ^= 1; }), damaged);
    WriteSeed(folder, "uninstaller-nothing-unpacked", 2, edit([](UninstallerHeader& h) { h.unpackedSize = 0; }), damaged);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus FOLDER\n");
        return 2;
    }
    fs::path folder(argv[1]);
    fs::create_directories(folder);
    fs::path work = folder / "work";
    fs::create_directories(work);
    std::mt19937 random(20240601); // fixed: the corpus is the same on every run
    Image noise(300);
    for (auto& b : noise)
        b = static_cast<unsigned char>(random());
    std::string strText;
    while (strText.size() < 600)
        strText += "Lumidrop falls like light. ";
    Image text(strText.begin(), strText.end());

    std::vector<PackageContents> vecPackages(3);
    vecPackages[0].strName = "Aurora";
    vecPackages[0].strDefaultFolder = "Lumidrop";
    vecPackages[0].vecDirectories = {{Destination, "Data"}, {Windows, "\\Fonts\\"}};
    vecPackages[0].vecFiles = {File(Destination, Screensaver | Vital, "", "aurora.scr", noise),
                            File(Destination, Config, "Data", "aurora.ini", text),
                            File(System, Shared, "", "empty.dll", {})};
    vecPackages[1].strName = "Bare";
    vecPackages[1].vecFiles = {File(ProgramFiles, 0, "x", "y", text)};
    vecPackages[2].strName = "Empty files";
    vecPackages[2].vecDirectories = {{CommonFiles, "Shared\\Lumidrop"}};
    vecPackages[2].vecFiles = {File(CommonFiles, Shared, "Shared\\Lumidrop", "a", {}), File(Destination, 0, "", "b", {})};
    std::vector<Image> vecImages;
    for (std::size_t i = 0; i < vecPackages.size(); ++i) {
        for (auto& b : vecPackages[i].packageId)
            b = static_cast<std::uint8_t>(random());
        WritePackage(vecPackages[i], work.string());
        vecImages.push_back(ReadFile(work / "user.spd"));
        for (unsigned char nMode : {0, 1, 4, 5, 9})
            WriteSeed(folder, "package-" + std::to_string(i), nMode, vecImages.back(), kAccepted);
    }
    PackageContents badRoot = vecPackages[0];
    badRoot.vecDirectories[1].root = 9;
    WritePackage(badRoot, work.string());
    WriteDamagedPackages(folder, vecImages[0], vecImages[1], ReadFile(work / "user.spd"));

    {
        std::ofstream program(work / "unin.exe", std::ios::binary);
        program.write(strText.data(), static_cast<std::streamsize>(strText.size()));
    }
    WriteUninstallerFile((work / "unin.exe").string(), (work / "_setup.spd").string());
    Image uninstaller = ReadFile(work / "_setup.spd");
    WriteSeed(folder, "uninstaller", 2, uninstaller, kAccepted);
    WriteDamagedUninstallers(folder, uninstaller);
    fs::remove_all(work);
    return 0;
}
