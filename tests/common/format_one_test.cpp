// FormatOne and the insert-filling engine under it.
#include "sys/message_text.h"

#include <gtest/gtest.h>

namespace {
// A Shift-JIS-like code page: 0x81..0x9F start a two-byte character.
bool IsTestLeadByte(unsigned char ch)
{
    return ch >= 0x81 && ch <= 0x9F;
}

std::string Fill(const std::string& strTemplate, std::initializer_list<const char*> inserts)
{
    const std::vector<const char*> list(inserts);
    return FillInserts(strTemplate, list.data(), static_cast<unsigned>(list.size()), IsTestLeadByte);
}
} // namespace

TEST(FormatOne, PutsTheFileNameAfterTheTwoLineBreaksOfMessage75)
{
    std::string strOut;
    FormatOne(strOut, 75, "C:\\Saver\\lumi.scr");
    EXPECT_EQ(strOut, "Le setup copie les fichiers...\n\nEn train de copier: C:\\Saver\\lumi.scr");
}

TEST(FormatOne, NumberWithoutTextLeavesTheOutputAsItWas)
{
    std::string strOut = "before";
    FormatOne(strOut, 6, "x");
    EXPECT_EQ(strOut, "before");
}

TEST(FormatOne, NullInsertIsWrittenAsNothing)
{
    std::string strOut;
    FormatOne(strOut, 36, nullptr);
    EXPECT_EQ(strOut, "Veuillez inserer la disquette  ou preciser un dossier dans lequel se trouvent les fichiers restants.");
}

TEST(FillInserts, InsertsBeyondThoseSuppliedBecomeQuestionMarks)
{
    EXPECT_EQ(Fill("a %2 b %1 c %Z", {"one"}), "a ? b one c ?");
}

TEST(FillInserts, LettersSelectInsertsTenOnwards)
{
    std::vector<std::string> texts;
    std::vector<const char*> inserts;
    for (int i = 0; i < 35; ++i)
        texts.push_back("<" + std::to_string(i) + ">");
    for (const std::string& strText : texts)
        inserts.push_back(strText.c_str());
    EXPECT_EQ(FillInserts("%9%A%Z", inserts.data(), 35, nullptr), "<8><9><34>");
}

TEST(FillInserts, OtherPercentSignsAreOrdinaryCharacters)
{
    EXPECT_EQ(Fill("%a %0 %% 100%", {"x"}), "%a %0 %% 100%");
    // The first '%' is plain, the second starts the insert.
    EXPECT_EQ(Fill("%%1", {"x"}), "%x");
}

TEST(FillInserts, LeadByteCarriesTheFollowingPercentAsItsTrailByte)
{
    EXPECT_EQ(Fill("\x81%1 %1", {"x"}), "\x81%1 x");
    // A byte that is no lead byte in the code page leaves the insert alone.
    EXPECT_EQ(Fill("\xE9%1", {"x"}), "\xE9x");
}

TEST(FillInserts, TemplateIsCutTo255Bytes)
{
    const std::string strLong = std::string(254, 'a') + "%1";
    EXPECT_EQ(Fill(strLong, {"x"}), std::string(254, 'a') + "%");
}
