// The replacement decision, row by row, with the two files' facts and the answers given.
#include "engine/language_names.h"
#include "format/package_records.h"
#include "framework/box_styles.h"
#include "sys/my_exception.h"
#include "tests/native/replacement_test_support.h"

namespace {
const std::string kNew = "C:\\TEMP\\abcdefgh.tmp";
const std::string kTarget = "C:\\WINDOWS\\SYSTEM\\lumi.dll";

struct Shown {
    unsigned nMessage;
    unsigned nStyle;
};

class Replacement : public ::testing::Test {
protected:
    bool Decide(const GivenFile& newFile, const GivenFile& oldFile, std::uint8_t nFlags, CScriptedQuestions& questions,
                unsigned nUserLanguage = kUserLanguage)
    {
        m_facts.m_files = {{kNew, newFile}, {kTarget, oldFile}};
        return DecideReplacement({kNew, kTarget, nFlags, nUserLanguage}, m_remembered, m_facts, questions);
    }

    static constexpr unsigned kUserLanguage = 12;
    RememberedAnswers m_remembered{};
    CGivenFacts m_facts;
};

std::vector<unsigned> Messages(const CScriptedQuestions& questions)
{
    std::vector<unsigned> vecMessages;
    for (const AskedQuestion& asked : questions.m_vecAsked)
        vecMessages.push_back(asked.nMessage);
    return vecMessages;
}
} // namespace

TEST_F(Replacement, EveryRowOfTheDecisionTable)
{
    const unsigned kQuestion = 0x34;
    const Shown kRemember = {208, 0x24};
    struct Row {
        const char* pszWhat;
        std::uint8_t nFlags;
        GivenFile newFile;
        GivenFile oldFile;
        std::vector<int> vecAnswers;
        std::vector<Shown> vecShown;
        bool bReplace;
    };
    const Row kRows[] = {
        {"vital, Yes keeps", Vital, Versioned(2, 0), Versioned(1, 0), {IDYES, IDNO}, {{196, 0x134}, kRemember}, false},
        {"vital, No replaces", Vital | Shared, Plain(1), Plain(1), {IDNO, IDNO}, {{196, 0x134}, kRemember}, true},
        {"no versions, sizes differ, Yes replaces", 0, Plain(100), Plain(101), {IDYES, IDNO}, {{175, kQuestion}, kRemember}, true},
        {"no versions, sizes differ, No keeps", Shared, Plain(100), Plain(99), {IDNO, IDNO}, {{175, kQuestion}, kRemember}, false},
        {"no versions, same size, Yes replaces", 0, Plain(100), Plain(100), {IDYES, IDNO}, {{178, kQuestion}, kRemember}, true},
        {"no versions, same size, No keeps", 0, Plain(100), Plain(100), {IDNO, IDNO}, {{178, kQuestion}, kRemember}, false},
        {"only the old file versioned, Yes keeps", 0, Plain(100), Versioned(1, 0), {IDYES, IDNO}, {{187, kQuestion}, kRemember}, false},
        {"only the old file versioned, No replaces", 0, Plain(100), Versioned(1, 0), {IDNO, IDNO}, {{187, kQuestion}, kRemember}, true},
        {"only the new file versioned, Yes replaces", 0, Versioned(1, 0), Plain(100), {IDYES, IDNO}, {{190, kQuestion}, kRemember}, true},
        {"only the new file versioned, No keeps", 0, Versioned(1, 0), Plain(100), {IDNO, IDNO}, {{190, kQuestion}, kRemember}, false},
        {"higher version replaces", 0, Versioned(0x00020000, 0), Versioned(0x00010000, 1), {}, {}, true},
        {"lower version replaces too", 0, Versioned(0x00010000, 1), Versioned(0x00020000, 0), {}, {}, true},
        {"least significant word differs", 0, Versioned(0x00010000, 2), Versioned(0x00010000, 1), {}, {}, true},
        {"same version, same languages in another order", 0, Versioned(1, 1, {0x0407, 0x0409}),
         Versioned(1, 1, {0x0409, 0x0407}), {}, {}, false},
        {"same version, other languages, Yes replaces", 0, Versioned(1, 1, {0x0407}), Versioned(1, 1, {0x0409}), {IDYES},
         {{193, kQuestion}}, true},
        {"same version, other languages, No keeps", 0, Versioned(1, 1, {0x0407}), Versioned(1, 1, {0x0409}), {IDNO},
         {{193, kQuestion}}, false},
        {"new resource unreadable: only the old one counts", 0, Unreadable(), Versioned(1, 0), {IDOK, IDYES, IDNO},
         {{181, 0x10}, {187, kQuestion}, kRemember}, false},
        {"old resource unreadable: only the new one counts", 0, Versioned(1, 0), Unreadable(), {IDOK, IDYES, IDNO},
         {{181, 0x10}, {190, kQuestion}, kRemember}, true},
        {"both unreadable: the sizes decide", 0, Unreadable(100), Unreadable(100), {IDOK, IDOK, IDNO, IDNO},
         {{181, 0x10}, {181, 0x10}, {178, kQuestion}, kRemember}, false},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.pszWhat);
        m_remembered = {};
        CScriptedQuestions questions(row.vecAnswers);
        EXPECT_EQ(Decide(row.newFile, row.oldFile, row.nFlags, questions), row.bReplace);
        ASSERT_EQ(questions.m_vecAsked.size(), row.vecShown.size());
        for (std::size_t i = 0; i < row.vecShown.size(); ++i) {
            EXPECT_EQ(questions.m_vecAsked[i].nMessage, row.vecShown[i].nMessage) << i;
            EXPECT_EQ(questions.m_vecAsked[i].nStyle, row.vecShown[i].nStyle) << i;
        }
        EXPECT_TRUE(questions.ScriptUsedUp());
    }
}

TEST_F(Replacement, CaseQuestionsNameTheTarget)
{
    CScriptedQuestions questions({IDYES, IDNO});
    Decide(Plain(1), Plain(2), 0, questions);
    ASSERT_EQ(questions.m_vecAsked.size(), 2u);
    EXPECT_EQ(questions.m_vecAsked[0].vecInserts, std::vector<std::string>{kTarget});
    EXPECT_TRUE(questions.m_vecAsked[1].vecInserts.empty());
}

TEST_F(Replacement, UnreadableResourceMessageNamesTheFileThatFailed)
{
    for (bool bNewFails : {true, false}) {
        SCOPED_TRACE(bNewFails ? "new file" : "existing file");
        m_remembered = {};
        CScriptedQuestions questions({IDOK, IDYES, IDNO});
        Decide(bNewFails ? Unreadable() : Versioned(1, 0), bNewFails ? Versioned(1, 0) : Unreadable(), 0, questions);
        ASSERT_FALSE(questions.m_vecAsked.empty());
        EXPECT_EQ(questions.m_vecAsked[0].vecInserts, std::vector<std::string>{bNewFails ? kNew : kTarget});
    }
}

TEST_F(Replacement, LanguageQuestionListsTheExistingFileFirst)
{
    m_facts.m_names = {{0x0407, "Allemand"}, {0x0409, "Anglais"}, {0x040C, "Fran\xE7" "ais"}};
    CScriptedQuestions questions({IDYES});
    Decide(Versioned(1, 1, {0x0407}), Versioned(1, 1, {0x0409, 0x040C}), 0, questions, kLanguageFrench);
    ASSERT_EQ(questions.m_vecAsked.size(), 1u);
    EXPECT_EQ(questions.m_vecAsked[0].vecInserts,
              (std::vector<std::string>{kTarget, "Anglaiset Fran\xE7" "ais", "Allemand"}));
    EXPECT_EQ(m_remembered, RememberedAnswers{});
}

TEST_F(Replacement, ReadsVersionsNewFileFirstAndNeverForAVitalFile)
{
    struct Case {
        const char* pszWhat;
        std::uint8_t nFlags;
        GivenFile newFile;
        GivenFile oldFile;
        std::vector<std::string> vecCalls;
    };
    const Case kCases[] = {
        {"vital", Vital, Versioned(1, 0), Versioned(2, 0), {}},
        {"versioned", 0, Versioned(1, 0), Versioned(2, 0),
         {"version size " + kNew, "version size " + kTarget, "read version " + kNew, "read version " + kTarget}},
        {"only the old one versioned", 0, Plain(5), Versioned(2, 0),
         {"version size " + kNew, "version size " + kTarget, "read version " + kTarget}},
        {"unversioned", 0, Plain(5), Plain(6),
         {"version size " + kNew, "version size " + kTarget, "file size " + kNew, "file size " + kTarget}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszWhat);
        m_facts.m_vecCalls.clear();
        m_remembered = {IDYES, IDYES, IDYES, IDYES, IDYES};
        CScriptedQuestions questions;
        Decide(c.newFile, c.oldFile, c.nFlags, questions);
        EXPECT_EQ(m_facts.m_vecCalls, c.vecCalls);
    }
}

TEST_F(Replacement, FileSizeThatCannotBeAskedRaisesUnexpectedError)
{
    for (bool bNewFails : {true, false}) {
        SCOPED_TRACE(bNewFails ? "new file" : "existing file");
        GivenFile failing = Plain(5);
        failing.bSizeKnown = false;
        CScriptedQuestions questions;
        try {
            Decide(bNewFails ? failing : Plain(5), bNewFails ? Plain(5) : failing, 0, questions);
            ADD_FAILURE() << "no exception";
        } catch (CSetupException* pError) {
            EXPECT_EQ(pError->m_nPhaseMessage, CSetupException::PhaseMessage(PHASE_FILES));
            EXPECT_EQ(pError->m_nCauseMessage, CSetupException::CauseMessage(CAUSE_UNEXPECTED));
            pError->Delete();
        }
        EXPECT_TRUE(questions.m_vecAsked.empty());
    }
}

TEST_F(Replacement, RememberedYesAnswersLaterFilesOfTheSameCaseOnly)
{
    CScriptedQuestions questions({IDYES, IDYES, IDNO, IDNO});
    EXPECT_TRUE(Decide(Plain(1), Plain(2), 0, questions));
    EXPECT_EQ(m_remembered[CASE_UNVERSIONED_DIFFERENT_SIZE], IDYES);
    EXPECT_TRUE(Decide(Plain(3), Plain(4), 0, questions));
    EXPECT_FALSE(Decide(Plain(5), Plain(5), 0, questions));
    EXPECT_EQ(Messages(questions), (std::vector<unsigned>{175, 208, 178, 208}));
    EXPECT_EQ(m_remembered[CASE_UNVERSIONED_SAME_SIZE], kAnswerNotRemembered);
}

TEST_F(Replacement, DecliningToRememberAsksAgainWithoutOfferingAgain)
{
    CScriptedQuestions questions({IDYES, IDNO, IDNO, IDYES});
    EXPECT_TRUE(Decide(Plain(1), Plain(2), 0, questions));
    EXPECT_EQ(m_remembered[CASE_UNVERSIONED_DIFFERENT_SIZE], kAnswerNotRemembered);
    EXPECT_FALSE(Decide(Plain(1), Plain(2), 0, questions));
    EXPECT_TRUE(Decide(Plain(1), Plain(2), 0, questions));
    EXPECT_EQ(Messages(questions), (std::vector<unsigned>{175, 208, 175, 175}));
}

TEST_F(Replacement, RememberedNoIsStoredAsTheAnswerGiven)
{
    CScriptedQuestions questions({IDNO, IDYES});
    EXPECT_TRUE(Decide(Plain(1), Versioned(1, 0), 0, questions));
    EXPECT_EQ(m_remembered[CASE_ONLY_OLD_VERSIONED], IDNO);
    EXPECT_TRUE(Decide(Plain(1), Versioned(1, 0), 0, questions));
    EXPECT_EQ(questions.m_vecAsked.size(), 2u);
}

TEST_F(Replacement, RememberedAnswerOfTheVitalSlotDecidesSilently)
{
    for (int nSlot : {IDNO, IDYES}) {
        m_remembered = {};
        m_remembered[CASE_VITAL] = nSlot;
        CScriptedQuestions questions;
        EXPECT_EQ(Decide(Versioned(1, 0), Versioned(1, 0), Vital, questions), nSlot == IDNO) << nSlot;
        EXPECT_TRUE(questions.m_vecAsked.empty());
    }
}
