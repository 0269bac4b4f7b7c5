// Helpers shared by the package tests: temporary folders, hand-made bytes, and checks of
// the phase and cause a reader failure carries.
#pragma once

#include "format/byte_sink.h"
#include "format/package_exception.h"
#include "format/package_records.h"
#include "format/package_volume_stream.h"
#include "format/plain_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Keeps every byte it is given.
class CCollectSink : public IByteSink {
public:
    void Write(const unsigned char* p, std::size_t n) override { m_bytes.insert(m_bytes.end(), p, p + n); }
    Bytes m_bytes;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class CTempFolder {
public:
    CTempFolder()
    {
        std::random_device device;
        m_path = std::filesystem::temp_directory_path() /
                 ("lumidrop-test-" + std::to_string(device()) + "-" + std::to_string(device()));
        std::filesystem::create_directories(m_path);
    }
    ~CTempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& strName) const { return (m_path / strName).string(); }

private:
    std::filesystem::path m_path;
};

inline void PutLe16(Bytes& bytes, std::size_t nAt, std::uint16_t n)
{
    bytes[nAt] = static_cast<unsigned char>(n);
    bytes[nAt + 1] = static_cast<unsigned char>(n >> 8);
}

inline void PutLe32(Bytes& bytes, std::size_t nAt, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes[nAt + i] = static_cast<unsigned char>(n >> (8 * i));
}

inline std::uint32_t GetLe32(const Bytes& bytes, std::size_t nAt)
{
    return static_cast<std::uint32_t>(bytes[nAt]) | (static_cast<std::uint32_t>(bytes[nAt + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[nAt + 2]) << 16) | (static_cast<std::uint32_t>(bytes[nAt + 3]) << 24);
}

inline std::uint32_t AdlerOf(const Bytes& bytes, std::size_t nFrom = 0, std::size_t nTo = ~std::size_t(0))
{
    if (nTo > bytes.size())
        nTo = bytes.size();
    return static_cast<std::uint32_t>(adler32(1, bytes.data() + nFrom, static_cast<uInt>(nTo - nFrom)));
}

// A zlib stream made by hand from stored deflate blocks: header 78 01, blocks of at most
// 65535 bytes (type 00, LEN, NLEN), then the Adler-32 trailer, big-endian.
inline Bytes StoredZlib(const Bytes& data)
{
    Bytes out = {0x78, 0x01};
    std::size_t nAt = 0;
    do {
        std::size_t n = data.size() - nAt < 65535 ? data.size() - nAt : 65535;
        bool bLast = nAt + n == data.size();
        out.push_back(bLast ? 1 : 0);
        out.push_back(static_cast<unsigned char>(n));
        out.push_back(static_cast<unsigned char>(n >> 8));
        out.push_back(static_cast<unsigned char>(~n));
        out.push_back(static_cast<unsigned char>(~n >> 8));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(nAt), data.begin() + static_cast<std::ptrdiff_t>(nAt + n));
        nAt += n;
    } while (nAt < data.size());
    std::uint32_t nAdler = AdlerOf(data);
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<unsigned char>(nAdler >> (8 * i)));
    return out;
}

inline Bytes ReadAll(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& strPath, const Bytes& bytes)
{
    std::ofstream out(strPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Reproducible pseudo-random bytes (incompressible) or text (compressible).
inline Bytes RandomBytes(std::size_t n, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    Bytes bytes(n);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(random());
    return bytes;
}

inline Bytes TextBytes(std::size_t n)
{
    static const char kText[] = "Lumidrop draws falling light on a quiet screen. ";
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(kText[i % (sizeof kText - 1)]);
    return bytes;
}

// strText as one word for the POSIX shell.
inline std::string ShellQuote(const std::string& strText)
{
    std::string strOut = "'";
    for (char c : strText)
        strOut += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return strOut + "'";
}

// Joins the volume files of a package on disk, user.spd first, into one stream.
inline void JoinVolumes(CPackageVolumeStream& stream, const std::vector<std::string>& vecPaths)
{
    for (const std::string& strPath : vecPaths) {
        auto pFile = std::make_unique<CPlainFile>();
        ASSERT_TRUE(pFile->Open(strPath)) << strPath;
        stream.AddVolume(std::move(pFile), strPath);
    }
}

// Runs the action and expects it to raise a CSetupException with this phase and cause
// (compared by the message numbers the exception keeps).
inline void ExpectSetupFailure(unsigned nPhase, unsigned nCause, const std::function<void()>& action)
{
    try {
        action();
        ADD_FAILURE() << "expected phase " << nPhase << " cause " << nCause << ", nothing was raised";
    } catch (CSetupException* e) {
        EXPECT_EQ(e->m_nPhaseMessage, CSetupException::PhaseMessage(nPhase)) << "phase";
        EXPECT_EQ(e->m_nCauseMessage, CSetupException::CauseMessage(nCause)) << "cause";
        if (auto* pDetail = dynamic_cast<CPackageException*>(e)) {
            EXPECT_FALSE(pDetail->m_strProblem.empty());
        }
        e->Delete();
    }
}

// Runs the action and fails the test, with the reader's account, when it raises a
// CSetupException.
inline void ExpectNoSetupFailure(const std::function<void()>& action)
{
    try {
        action();
    } catch (CSetupException* e) {
        auto* pDetail = dynamic_cast<CPackageException*>(e);
        ADD_FAILURE() << "refused: " << (pDetail != nullptr ? pDetail->m_strProblem : "no detail");
        e->Delete();
    }
}
