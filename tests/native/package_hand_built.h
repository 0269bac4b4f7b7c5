// Packages assembled byte by byte in the tests, independently of the package writer, so
// that a fault shared by writer and reader cannot hide behind a round trip.
#pragma once

#include "tests/native/package_test_support.h"

#include <string>
#include <utility>
#include <vector>

struct HandFile {
    std::uint8_t root = 5;
    std::uint8_t flags = 0;
    std::string strFolder;
    std::string strName;
    Bytes data;
};

struct HandPackage {
    std::string strName = "Aurora";
    std::string strDefaultFolder = "Lumidrop";
    std::uint16_t nVolumeCount = 1;
    std::vector<std::pair<std::uint8_t, std::string>> vecDirectories;
    std::vector<HandFile> vecFiles;
    std::uint8_t packageId[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 1, 2, 3, 4, 5, 6, 7, 8};

    // Offsets of what Build placed, for tests that damage one spot.
    std::size_t nSectionAt = 0;
    std::vector<std::size_t> vecRecordAt;
    std::vector<std::size_t> vecDataAt;

    // Edits the raw directory table (after its entries got their checksums, before the
    // block is stored) so that a test can damage one entry.
    std::function<void(Bytes&)> editTable;

    Bytes Build()
    {
        Bytes image(192, 0);
        image[0] = 'S';
        image[1] = 'E';
        image[2] = 'T';
        image[3] = 'U';
        image[4] = 16;
        PutLe16(image, 12, nVolumeCount);
        PutLe32(image, 32, 192);
        PutLe16(image, 36, static_cast<std::uint16_t>(vecDirectories.size()));
        PutLe16(image, 44, static_cast<std::uint16_t>(vecFiles.size()));
        for (std::size_t i = 0; i < strName.size(); ++i)
            image[46 + i] = static_cast<unsigned char>(strName[i]);
        for (std::size_t i = 0; i < 16; ++i)
            image[112 + i] = packageId[i];
        for (std::size_t i = 0; i < strDefaultFolder.size(); ++i)
            image[128 + i] = static_cast<unsigned char>(strDefaultFolder[i]);

        if (vecDirectories.empty()) {
            AppendBlockHeader(image, 0, 0, 0);
        } else {
            Bytes table;
            for (const auto& directory : vecDirectories) {
                Bytes record(258, 0);
                record[0] = 'D';
                record[1] = directory.first;
                for (std::size_t i = 0; i < directory.second.size(); ++i)
                    record[2 + i] = static_cast<unsigned char>(directory.second[i]);
                AppendBlockHeader(table, AdlerOf(record), 258, 258);
                table.insert(table.end(), record.begin(), record.end());
            }
            if (editTable)
                editTable(table);
            AppendStored(image, table);
        }
        nSectionAt = image.size();
        PutLe32(image, 40, static_cast<std::uint32_t>(nSectionAt));
        AppendBlockHeader(image, 0, 0, 0);
        vecRecordAt.clear();
        vecDataAt.clear();
        for (const HandFile& file : vecFiles) {
            Bytes record(520, 0);
            record[0] = 'F';
            record[1] = file.flags;
            record[2] = file.root;
            for (std::size_t i = 0; i < file.strFolder.size(); ++i)
                record[3 + i] = static_cast<unsigned char>(file.strFolder[i]);
            for (std::size_t i = 0; i < file.strName.size(); ++i)
                record[259 + i] = static_cast<unsigned char>(file.strName[i]);
            vecRecordAt.push_back(image.size());
            AppendStored(image, record);
            vecDataAt.push_back(image.size());
            if (file.data.empty())
                AppendBlockHeader(image, 1, 0, 0);
            else
                AppendStored(image, file.data);
        }
        FixSums(image);
        return image;
    }

    // Recomputes totalSize, the section checksum and dataChecksum after a test changed bytes.
    static void FixSums(Bytes& image)
    {
        std::size_t nSection = GetLe32(image, 40);
        PutLe32(image, 20, static_cast<std::uint32_t>(image.size()));
        PutLe32(image, nSection + 4, AdlerOf(image, nSection + 16));
        PutLe32(image, 16, AdlerOf(image, 192));
    }

    static void AppendBlockHeader(Bytes& out, std::uint32_t nChecksum, std::uint32_t nStored, std::uint32_t nUnpacked)
    {
        Bytes header(16, 0);
        header[0] = 'B';
        PutLe32(header, 4, nChecksum);
        PutLe32(header, 8, nStored);
        PutLe32(header, 12, nUnpacked);
        out.insert(out.end(), header.begin(), header.end());
    }

    static void AppendStored(Bytes& out, const Bytes& data)
    {
        Bytes stored = StoredZlib(data);
        AppendBlockHeader(out, AdlerOf(data), static_cast<std::uint32_t>(stored.size()), static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), stored.begin(), stored.end());
    }
};
