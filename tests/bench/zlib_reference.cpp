// The least work spdtool's verify and extract must do, written against zlib alone, to
// measure spdtool against. Walks a single-volume user.spd by its raw offsets.
//   zlib_reference verify user.spd      read the stream with Adler-32, inflate every file into memory
//   zlib_reference extract user.spd DIR inflate every file into DIR/<n>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint32_t Le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

[[noreturn]] void Fail(const char* pszWhat)
{
    std::fprintf(stderr, "zlib_reference: %s\n", pszWhat);
    std::exit(1);
}

void ReadExact(std::FILE* pFile, unsigned char* p, std::size_t n)
{
    if (std::fread(p, 1, n, pFile) != n)
        Fail("short read");
}

// Inflates nStored bytes from the file; pOut null means into memory (a buffer of the
// file's size), otherwise into that file.
void Inflate(std::FILE* pIn, std::uint32_t nStored, std::uint32_t nUnpacked, std::FILE* pOut, std::vector<unsigned char>& in,
             std::vector<unsigned char>& out)
{
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK)
        Fail("inflateInit");
    std::vector<unsigned char> whole;
    if (pOut == nullptr)
        whole.resize(nUnpacked);
    std::size_t nFill = 0;
    while (nStored > 0) {
        std::size_t n = nStored < in.size() ? nStored : in.size();
        ReadExact(pIn, in.data(), n);
        nStored -= static_cast<std::uint32_t>(n);
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
        int nStatus = Z_OK;
        do {
            if (pOut == nullptr) {
                z.next_out = whole.data() + nFill;
                z.avail_out = static_cast<uInt>(whole.size() - nFill);
            } else {
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
            }
            uInt nBefore = z.avail_out;
            nStatus = inflate(&z, Z_NO_FLUSH);
            std::size_t nProduced = nBefore - z.avail_out;
            if (pOut != nullptr && nProduced > 0 && std::fwrite(out.data(), 1, nProduced, pOut) != nProduced)
                Fail("write");
            nFill += nProduced;
            if (nStatus == Z_STREAM_END || nStatus == Z_BUF_ERROR)
                break;
            if (nStatus != Z_OK)
                Fail("inflate");
        } while (z.avail_in > 0 || (pOut != nullptr && z.avail_out == 0));
    }
    inflateEnd(&z);
    if (nFill != nUnpacked)
        Fail("length");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        Fail("usage: zlib_reference verify|extract user.spd [DIR]");
    std::string strMode = argv[1];
    std::FILE* pIn = std::fopen(argv[2], "rb");
    if (pIn == nullptr)
        Fail("open");
    unsigned char header[192];
    ReadExact(pIn, header, sizeof header);
    std::uint32_t nSection = Le32(header + 40);
    unsigned nFiles = header[44] | (header[45] << 8);
    std::vector<unsigned char> in(0x40000);
    std::vector<unsigned char> out(0x40000);
    if (strMode == "verify") {
        std::vector<unsigned char> chunk(0x80000);
        uLong nAdler = adler32(0, nullptr, 0);
        for (;;) {
            std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pIn);
            if (n == 0)
                break;
            nAdler = adler32(nAdler, chunk.data(), static_cast<uInt>(n));
        }
        if (nAdler != Le32(header + 16))
            Fail("checksum");
    }
    if (std::fseek(pIn, static_cast<long>(nSection) + 16, SEEK_SET) != 0)
        Fail("seek");
    for (unsigned i = 0; i < nFiles; ++i) {
        unsigned char block[16];
        ReadExact(pIn, block, 16);
        if (std::fseek(pIn, static_cast<long>(Le32(block + 8)), SEEK_CUR) != 0)
            Fail("seek");
        ReadExact(pIn, block, 16);
        std::FILE* pOut = nullptr;
        if (strMode == "extract") {
            std::string strPath = std::string(argv[3]) + "/" + std::to_string(i);
            pOut = std::fopen(strPath.c_str(), "wb");
            if (pOut == nullptr)
                Fail("create");
        }
        Inflate(pIn, Le32(block + 8), Le32(block + 12), pOut, in, out);
        if (pOut != nullptr)
            std::fclose(pOut);
    }
    std::fclose(pIn);
    return 0;
}
