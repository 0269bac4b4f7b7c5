// Writes the fuzzer's seed corpus with the package writer: small packages of every shape,
// each prefixed with the mode byte the fuzz target reads first.
#include "engine/package_writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteSeed(const fs::path& folder, const std::string& strName, unsigned char nMode, const std::vector<unsigned char>& image)
{
    std::ofstream out(folder / strName, std::ios::binary);
    out.put(static_cast<char>(nMode));
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

PackageFileEntry File(std::uint8_t root, std::uint8_t flags, const char* pszFolder, const char* pszName, std::vector<unsigned char> data)
{
    PackageFileEntry file;
    file.root = root;
    file.flags = flags;
    file.strFolder = pszFolder;
    file.strFileName = pszName;
    file.content = std::move(data);
    return file;
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
    std::vector<unsigned char> noise(300);
    for (auto& b : noise)
        b = static_cast<unsigned char>(random());
    std::string strText;
    while (strText.size() < 600)
        strText += "Lumidrop falls like light. ";
    std::vector<unsigned char> text(strText.begin(), strText.end());

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
    for (std::size_t i = 0; i < vecPackages.size(); ++i) {
        for (auto& b : vecPackages[i].packageId)
            b = static_cast<std::uint8_t>(random());
        WritePackage(vecPackages[i], work.string());
        std::vector<unsigned char> image = ReadFile(work / "user.spd");
        for (unsigned char nMode : {0, 1, 4, 5, 9})
            WriteSeed(folder, "package-" + std::to_string(i) + "-mode" + std::to_string(nMode), nMode, image);
    }
    {
        std::ofstream program(work / "unin.exe", std::ios::binary);
        program.write(strText.data(), static_cast<std::streamsize>(strText.size()));
    }
    WriteUninstallerFile((work / "unin.exe").string(), (work / "_setup.spd").string());
    WriteSeed(folder, "uninstaller-mode2", 2, ReadFile(work / "_setup.spd"));
    fs::remove_all(work);
    return 0;
}
