// Joining the names of a translation table for message 193.
#include "engine/language_names.h"

#include <gtest/gtest.h>

TEST(JoinLanguageNames, SeparatorsByPlaceAndConjunctionByUserLanguage)
{
    const unsigned kItalian = 0x10;
    struct Case {
        std::vector<std::string> vecNames;
        unsigned nLanguage;
        const char* pszJoined;
    };
    const Case kCases[] = {
        {{"X", "Y", "Z"}, kLanguageGerman, "X, Yund Z"},
        {{"X", "Y", "Z"}, kLanguageFrench, "X, Yet Z"},
        {{"X", "Y", "Z"}, kItalian, "X, Yand Z"},
        {{"W", "X", "Y", "Z"}, kLanguageGerman, "W, X, Yund Z"},
        {{"X", "Y"}, kLanguageFrench, "Xet Y"},
        {{"X"}, kLanguageGerman, "X"},
        {{}, kLanguageGerman, ""},
        // An unnamed language is left out with its separator; a skipped last entry leaves
        // no conjunction, a skipped first one still lets ", " open the list.
        {{"X", "Y", ""}, kLanguageGerman, "X, Y"},
        {{"X", "", "Z"}, kLanguageFrench, "Xet Z"},
        {{"", "Y", "Z"}, kLanguageGerman, ", Yund Z"},
        {{"", "Y"}, kLanguageGerman, "Y"},
    };
    for (const Case& c : kCases) {
        std::string strOut = "left over";
        JoinLanguageNames(strOut, c.vecNames, c.nLanguage);
        EXPECT_EQ(strOut, c.pszJoined) << c.vecNames.size() << " names, language " << c.nLanguage;
    }
}
