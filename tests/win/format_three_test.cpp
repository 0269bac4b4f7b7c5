// Message 193's three inserts, filled by the system's message formatter.
#include "framework/exception.h"
#include "sys/message_text.h"

#include <gtest/gtest.h>

// The system's formatter writes the template's line breaks as CR LF; a message box shows
// both kinds alike.
TEST(FormatThree, FillsTheThreeInsertsOfMessage193)
{
    std::string strOut;
    FormatThree(strOut, 193, "C:\\Windows\\lumi.dll", "Allemand", "Fran\xE7" "ais");
    EXPECT_EQ(strOut, "Le fichier existant 'C:\\Windows\\lumi.dll' supporte\r\n\"Allemand\", le nouveau fichier, "
                      "cependant, inclus le support pour le language de votre syst\xE8me. (Fran\xE7" "ais).\r\n"
                      "Voulez-vous remplacer le fichier ancien? (Recommend\xE9!)");
}

TEST(FormatThree, InsertsAreTakenAsTheyStandEvenWithPercentSigns)
{
    std::string strOut;
    FormatThree(strOut, 193, "100%", "%1", "");
    EXPECT_NE(strOut.find("'100%' supporte\r\n\"%1\""), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("syst\xE8me. ()."), std::string::npos) << strOut;
}

TEST(FormatThree, AFormatterFailureIsTheFrameworksOutOfMemoryException)
{
    // A number with no text gives the formatter an empty template, which it refuses.
    std::string strOut;
    try {
        FormatThree(strOut, 65000, "a", "b", "c");
        ADD_FAILURE() << "no exception";
    } catch (CMemoryException* pException) {
        pException->Delete();
    }
}
