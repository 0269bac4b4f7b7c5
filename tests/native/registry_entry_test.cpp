// RegistryEntry: 524 zero-filled bytes, HKEY_LOCAL_MACHINE as 0x80000002, and texts that
// must fit whole.
#include "format/registry_entry.h"
#include "format/package_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(RegistryEntry, EncodesRootAndTextsAtTheirOffsetsZeroFilled)
{
    RegistryEntry entry;
    ASSERT_TRUE(MakeRegistryEntry("Software\\Lumidrop Screensaver", "AQUA", entry));
    // Junk after a text must not reach the record.
    std::memset(entry.valueName + 5, 'j', 10);
    std::vector<unsigned char> bytes(kRegistryEntrySize, 0xCC);
    EncodeRegistryEntry(entry, bytes.data());

    std::vector<unsigned char> expected(524, 0);
    expected[0] = 0x02;
    expected[3] = 0x80;
    std::memcpy(&expected[4], "Software\\Lumidrop Screensaver", 29);
    std::memcpy(&expected[264], "AQUA", 4);
    EXPECT_EQ(bytes, expected);

    const RegistryEntry decoded = DecodeRegistryEntry(expected.data());
    EXPECT_EQ(decoded.rootKey, 0x80000002u);
    EXPECT_EQ(FieldText(decoded.subKey), "Software\\Lumidrop Screensaver");
    EXPECT_EQ(FieldText(decoded.valueName), "AQUA");
    EXPECT_FALSE(decoded.IsWholeKey());
}

TEST(RegistryEntry, EmptyValueNameStandsForTheWholeKey)
{
    RegistryEntry entry;
    ASSERT_TRUE(MakeRegistryEntry("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Aqua", "", entry));
    EXPECT_TRUE(entry.IsWholeKey());
    EXPECT_EQ(entry.rootKey, 0x80000002u);
}

TEST(RegistryEntry, TextsThatDoNotFitAndAnEmptySubKeyAreRefused)
{
    const struct {
        std::size_t nSubKey;
        std::size_t nValueName;
        bool bMade;
    } kCases[] = {{259, 259, true}, {260, 0, false}, {10, 260, false}, {0, 4, false}};
    for (const auto& test : kCases) {
        RegistryEntry entry;
        ASSERT_TRUE(MakeRegistryEntry("Untouched", "", entry));
        EXPECT_EQ(MakeRegistryEntry(std::string(test.nSubKey, 'k'), std::string(test.nValueName, 'v'), entry),
                  test.bMade)
            << test.nSubKey << "/" << test.nValueName;
        if (!test.bMade) {
            EXPECT_EQ(FieldText(entry.subKey), "Untouched");
        }
    }
}
