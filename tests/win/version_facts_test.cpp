// The replacement decision on real files: version resources of DLLs built for the test,
// read through the system's version functions, and the questions shown as message boxes.
#include "format/package_records.h"
#include "engine/replacement_win32.h"
#include "engine/version_facts_win32.h"
#include "framework/message_box.h"
#include "sys/message_text.h"
#include "tests/win/program_folder.h"
#include "tests/win/temp_folder.h"

#include <gtest/gtest.h>

#include <deque>

namespace {
std::string Probe(int nVariant)
{
    return TestProgramFolder() + "\\probe" + std::to_string(nVariant) + ".dll";
}

// Probe DLLs by what their resource holds (see version_probe/probe.rc).
enum ProbeVariant { kUnversioned = 0, kVersion1English, kVersion2English, kGerman, kGermanEnglish, kEnglishGerman };

std::string SystemLanguageName(WORD nLanguage)
{
    char szName[256] = "";
    VerLanguageNameA(nLanguage, szName, sizeof szName);
    return szName;
}

struct ShownBox {
    std::string strText;
    unsigned nStyle;
};

// Answers the program's boxes from a script, in order, and keeps what they showed.
class CScriptedBoxes {
public:
    explicit CScriptedBoxes(std::deque<int> answers) : m_answers(std::move(answers))
    {
        m_previous = SetMessageBoxAnswerer([this](const std::string& strText, unsigned nStyle) {
            m_vecShown.push_back({strText, nStyle});
            if (m_answers.empty()) {
                ADD_FAILURE() << "unexpected box: " << strText;
                return IDCANCEL;
            }
            const int nAnswer = m_answers.front();
            m_answers.pop_front();
            return nAnswer;
        });
    }
    CScriptedBoxes(const CScriptedBoxes&) = delete;
    CScriptedBoxes& operator=(const CScriptedBoxes&) = delete;
    ~CScriptedBoxes() { SetMessageBoxAnswerer(m_previous); }

    std::vector<ShownBox> m_vecShown;

private:
    std::deque<int> m_answers;
    MessageBoxAnswerer m_previous;
};

std::string FilledOne(unsigned nMessage, const std::string& strInsert)
{
    std::string strText;
    FormatOne(strText, nMessage, strInsert.c_str());
    return strText;
}

std::string Message(unsigned nMessage)
{
    std::string strText;
    LoadMessage(nMessage, strText);
    return strText;
}
} // namespace

TEST(SystemVersionFacts, ReadsFileVersionAndLanguagesOfBuiltDlls)
{
    struct Case {
        int nVariant;
        std::uint32_t nMS;
        std::uint32_t nLS;
        std::vector<std::uint16_t> vecLanguages;
    };
    const Case kCases[] = {
        {kVersion1English, 0x00010000, 0x00000001, {0x0409}},
        {kVersion2English, 0x00020000, 0x00000000, {0x0409}},
        {kGerman, 0x00010000, 0x00000001, {0x0407}},
        {kGermanEnglish, 0x00010000, 0x00000001, {0x0407, 0x0409}},
        {kEnglishGerman, 0x00010000, 0x00000001, {0x0409, 0x0407}},
    };
    CSystemVersionFacts facts;
    for (const Case& c : kCases) {
        SCOPED_TRACE(Probe(c.nVariant));
        const std::uint32_t nSize = facts.VersionSize(Probe(c.nVariant));
        ASSERT_GT(nSize, 0u);
        CVersionFacts version;
        ASSERT_TRUE(facts.ReadVersion(Probe(c.nVariant), nSize, version));
        EXPECT_EQ(version.nFileVersionMS, c.nMS);
        EXPECT_EQ(version.nFileVersionLS, c.nLS);
        EXPECT_EQ(version.vecLanguages, c.vecLanguages);
    }
    EXPECT_EQ(facts.VersionSize(Probe(kUnversioned)), 0u);
}

TEST(SystemVersionFacts, FileSizeAsTheFileSystemReportsIt)
{
    CTempFolder folder;
    const std::string strFile = folder.File("plain.bin");
    ASSERT_TRUE(WriteWholeFile(strFile, "12345", 5));
    CSystemVersionFacts facts;
    std::uint32_t nSize = 0;
    ASSERT_TRUE(facts.FileSize(strFile, nSize));
    EXPECT_EQ(nSize, 5u);
    EXPECT_FALSE(facts.FileSize(folder.File("missing.bin"), nSize));
}

TEST(SystemVersionFacts, LanguageNameIsTheSystemsWholeName)
{
    CSystemVersionFacts facts;
    for (WORD nLanguage : {0x0407, 0x0409, 0x040C}) {
        const std::string strName = facts.LanguageName(nLanguage);
        EXPECT_GT(strName.size(), 1u) << nLanguage;
        EXPECT_EQ(strName, SystemLanguageName(nLanguage)) << nLanguage;
    }
    // An id the system cannot name gives an empty name, which the list skips.
    EXPECT_EQ(facts.LanguageName(0x7FFF), "");
}

class ReplacementOnRealFiles : public ::testing::Test {
protected:
    // Puts a copy of source at the new file's and at the target's place, as extraction and
    // an earlier installation would have.
    bool Decide(const std::string& strNewSource, const std::string& strOldSource, std::uint8_t nFlags)
    {
        EXPECT_TRUE(CopyFileA(strNewSource.c_str(), m_strNew.c_str(), FALSE));
        EXPECT_TRUE(CopyFileA(strOldSource.c_str(), m_strTarget.c_str(), FALSE));
        return DecideReplacement({m_strNew, m_strTarget, nFlags, kLanguageFrenchPrimary}, m_remembered);
    }

    std::string Plain(const char* pszName, std::size_t nSize)
    {
        const std::string strPath = m_folder.File(pszName);
        const std::string strBytes(nSize, 'x');
        EXPECT_TRUE(WriteWholeFile(strPath, strBytes.data(), static_cast<DWORD>(nSize)));
        return strPath;
    }

    static constexpr unsigned kLanguageFrenchPrimary = 12;
    CTempFolder m_folder;
    const std::string m_strNew = m_folder.File("abcdefgh.tmp");
    const std::string m_strTarget = m_folder.File("lumi.dll");
    RememberedAnswers m_remembered{};
};

TEST_F(ReplacementOnRealFiles, DifferentFileVersionsReplaceSilentlyEitherWay)
{
    CScriptedBoxes boxes({});
    EXPECT_TRUE(Decide(Probe(kVersion1English), Probe(kVersion2English), 0));
    EXPECT_TRUE(Decide(Probe(kVersion2English), Probe(kVersion1English), 0));
    EXPECT_TRUE(boxes.m_vecShown.empty());
}

TEST_F(ReplacementOnRealFiles, SameVersionAndLanguageSumKeepsSilently)
{
    CScriptedBoxes boxes({});
    EXPECT_FALSE(Decide(Probe(kGermanEnglish), Probe(kEnglishGerman), 0));
    EXPECT_FALSE(Decide(Probe(kVersion1English), Probe(kVersion1English), 0));
    EXPECT_TRUE(boxes.m_vecShown.empty());
}

TEST_F(ReplacementOnRealFiles, SameVersionOtherLanguagesAsksWithBothLists)
{
    CScriptedBoxes boxes({IDNO, IDYES});
    EXPECT_FALSE(Decide(Probe(kGerman), Probe(kVersion1English), 0));
    EXPECT_TRUE(Decide(Probe(kGerman), Probe(kVersion1English), 0));
    std::string strExpected;
    FormatThree(strExpected, 193, m_strTarget.c_str(), SystemLanguageName(0x0409).c_str(),
                SystemLanguageName(0x0407).c_str());
    ASSERT_EQ(boxes.m_vecShown.size(), 2u);
    for (const ShownBox& box : boxes.m_vecShown) {
        EXPECT_EQ(box.strText, strExpected);
        EXPECT_EQ(box.nStyle, 0x34u);
    }
}

TEST_F(ReplacementOnRealFiles, CaseQuestionsFromRealFiles)
{
    struct Case {
        const char* pszWhat;
        std::string strNewSource;
        std::string strOldSource;
        std::uint8_t nFlags;
        unsigned nMessage;
        unsigned nStyle;
        bool bYesReplaces;
    };
    const Case kCases[] = {
        {"plain files of different sizes", Plain("a.bin", 10), Plain("b.bin", 11), 0, 175, 0x34, true},
        {"plain files of equal size", Plain("c.bin", 10), Plain("d.bin", 10), 0, 178, 0x34, true},
        {"a DLL without version over a versioned one", Probe(kUnversioned), Probe(kVersion1English), 0, 187, 0x34, false},
        {"a versioned DLL over one without", Probe(kVersion1English), Probe(kUnversioned), 0, 190, 0x34, true},
        {"a vital file, versions never read", Probe(kVersion2English), Probe(kVersion1English), Vital, 196, 0x134, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        m_remembered = {};
        CScriptedBoxes boxes({IDYES, IDNO});
        EXPECT_EQ(Decide(c.strNewSource, c.strOldSource, c.nFlags), c.bYesReplaces);
        ASSERT_EQ(boxes.m_vecShown.size(), 2u);
        EXPECT_EQ(boxes.m_vecShown[0].strText, FilledOne(c.nMessage, m_strTarget));
        EXPECT_EQ(boxes.m_vecShown[0].nStyle, c.nStyle);
        EXPECT_EQ(boxes.m_vecShown[1].strText, Message(208));
        EXPECT_EQ(boxes.m_vecShown[1].nStyle, 0x24u);
    }
}

TEST_F(ReplacementOnRealFiles, RememberedAnswerServesLaterFilesOfTheCase)
{
    CScriptedBoxes boxes({IDYES, IDYES, IDNO, IDNO});
    EXPECT_TRUE(Decide(Plain("a.bin", 10), Plain("b.bin", 11), 0));
    EXPECT_TRUE(Decide(Plain("c.bin", 20), Plain("d.bin", 21), 0));
    EXPECT_FALSE(Decide(Plain("e.bin", 20), Plain("f.bin", 20), 0));
    ASSERT_EQ(boxes.m_vecShown.size(), 4u);
    EXPECT_EQ(boxes.m_vecShown[2].strText, FilledOne(178, m_strTarget));
}
