// CLocatedPackage: the volume search of the setup, made strict for a tool (every volume's
// header is checked, wherever it was found, so that a foreign one is named at once).
#include "tools/spdtool/package_location.h"

#include "format/package_reader.h"
#include "format/plain_file.h"
#include "tools/spdtool/tool_error.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Why the file just refused to open, in the system's words: errno here, the Windows
// error there, both in the system category.
std::string OpenFailure()
{
    const long lError = CSystemFile::LastError();
    return std::system_category().message(static_cast<int>(lError)) + " (error " + std::to_string(lError) + ")";
}

} // namespace

std::string DiskFolderName(unsigned nVolume)
{
    return "Disk " + std::to_string(nVolume + 1);
}

CLocatedPackage::CLocatedPackage(const std::string& strPackage)
{
    std::error_code error;
    fs::path package(strPackage);
    if (fs::is_directory(package, error))
        package /= "user.spd";
    if (!fs::is_regular_file(package, error))
        throw CToolError("no setup package at " + package.string());
    m_strSpdPath = package.string();

    CPlainFile headerFile;
    m_header = ReadSetupHeader(headerFile, m_strSpdPath);

    auto pFirst = std::make_unique<CPlainFile>();
    if (!pFirst->Open(m_strSpdPath))
        throw CToolError("cannot open " + m_strSpdPath + ": " + OpenFailure());
    m_stream.AddVolume(std::move(pFirst), m_strSpdPath);
    m_vecVolumePaths.push_back(m_strSpdPath);

    fs::path source = package.parent_path();
    for (unsigned nVolume = 1; nVolume < m_header.volumeCount; ++nVolume) {
        std::string strName = VolumeFileName(nVolume);
        fs::path beside = source / strName;
        fs::path sibling = source.parent_path() / DiskFolderName(nVolume) / strName;
        std::string strRefused;
        bool bUnopened = false;
        bool bFound = false;
        for (const fs::path& candidate : {beside, sibling}) {
            if (!fs::is_regular_file(candidate, error))
                continue;
            auto pFile = std::make_unique<CPlainFile>();
            if (!pFile->Open(candidate.string())) {
                strRefused += "\n  " + candidate.string() + ": cannot be opened: " + OpenFailure();
                bUnopened = true;
                continue;
            }
            std::string strReason;
            if (CheckVolume(*pFile, m_header, nVolume, &strReason) != VolumeCheck::Accepted) {
                strRefused += "\n  " + candidate.string() + ": " + strReason;
                continue;
            }
            m_stream.AddVolume(std::move(pFile), candidate.string());
            m_vecVolumePaths.push_back(candidate.string());
            // The next volume is looked for first where this one was.
            source = candidate.parent_path();
            bFound = true;
            break;
        }
        if (!bFound) {
            // A volume that could not be opened may well belong to the package.
            if (!strRefused.empty())
                throw CToolError("volume " + strName + " of " + std::to_string(m_header.volumeCount) +
                                 (bUnopened ? " cannot be used:" : " is not part of this package:") + strRefused);
            throw CToolError("volume " + strName + " of " + std::to_string(m_header.volumeCount) + " not found (looked for " +
                             beside.string() + " and " + sibling.string() + ")");
        }
    }
}

std::string CLocatedPackage::GetFolder() const
{
    return fs::path(m_strSpdPath).parent_path().string();
}

std::string CLocatedPackage::DescribeOffset(std::uint64_t nStreamOffset) const
{
    std::string strVolume;
    std::uint64_t nFileOffset = 0;
    m_stream.Locate(nStreamOffset, strVolume, nFileOffset);
    return fs::path(strVolume).filename().string() + " offset " + std::to_string(nFileOffset) + " (stream offset " +
           std::to_string(nStreamOffset) + ")";
}
