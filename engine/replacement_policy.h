// Whether a file of the package replaces a file already at its target, or the old one
// stays: decided from the record's flags, both files' version resources and sizes, and
// the user's answers, some of which are remembered for the rest of the run.
//
// The decision itself needs no system: what it knows of the two files comes through
// IReplacementFacts, and every question goes through IReplacementQuestions, so that the
// same code runs against the real version functions and message boxes and against facts
// and answers given by a test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The index of a question's slot in RememberedAnswers.
enum ReplacementCase : unsigned {
    CASE_UNVERSIONED_DIFFERENT_SIZE = 0,
    CASE_UNVERSIONED_SAME_SIZE = 1,
    CASE_ONLY_OLD_VERSIONED = 2,
    CASE_ONLY_NEW_VERSIONED = 3,
    CASE_VITAL = 4,
};
constexpr unsigned kReplacementCaseCount = 5;

// The buttons of the questions, with the values of the system's IDYES and IDNO: the
// remembered answers store them as they were pressed.
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

// One slot per case, all 0 at the start of a run: 0 asks and offers to remember the
// answer, kAnswerYes or kAnswerNo answers without asking, kAnswerNotRemembered asks every
// time without offering again.
using RememberedAnswers = std::array<std::int32_t, kReplacementCaseCount>;
constexpr std::int32_t kAnswerNotRemembered = -1;

// The question of each case, by ReplacementCase.
constexpr unsigned kCaseMessages[kReplacementCaseCount] = {175, 178, 187, 190, 196};
constexpr unsigned kUnreadableVersionMessage = 181;
constexpr unsigned kLanguagesMessage = 193;
constexpr unsigned kRememberMessage = 208;

// The styles of the decision's boxes.
constexpr unsigned kFileQuestionStyle = 0x34;  // Yes/No, exclamation icon
constexpr unsigned kVitalQuestionStyle = 0x134; // the same with No as the default button
constexpr unsigned kRememberStyle = 0x24;       // Yes/No, question icon
constexpr unsigned kUnreadableStyle = 0x10;     // OK, stop icon

// What the decision uses of a readable version resource.
struct CVersionFacts {
    std::uint32_t nFileVersionMS = 0;
    std::uint32_t nFileVersionLS = 0;
    // The language halves of the translation entries, in table order.
    std::vector<std::uint16_t> vecLanguages;
};

class IReplacementFacts {
public:
    virtual ~IReplacementFacts() = default;
    // The size of the file's version resource; 0 when it has none.
    virtual std::uint32_t VersionSize(const std::string& strPath) = 0;
    // Reads the resource of nSize bytes; false when it cannot be read. Raises phase 3,
    // cause 4 when there is no memory for it.
    virtual bool ReadVersion(const std::string& strPath, std::uint32_t nSize, CVersionFacts& facts) = 0;
    // The file's size as the file system reports it; false when it cannot be asked.
    virtual bool FileSize(const std::string& strPath, std::uint32_t& nSize) = 0;
    // The readable name of a language id in the system's language; empty when unknown.
    virtual std::string LanguageName(std::uint16_t nLanguage) = 0;
};

class IReplacementQuestions {
public:
    virtual ~IReplacementQuestions() = default;
    // Shows message nMessage filled with vecInserts (%1, %2, %3; none for a message
    // without inserts) in a box of style nStyle and returns the button pressed
    // (kAnswerYes, kAnswerNo, ...).
    virtual int Ask(unsigned nMessage, const std::vector<std::string>& vecInserts, unsigned nStyle) = 0;
};

// The inputs of one decision besides the run's remembered answers.
struct CReplacementInputs {
    std::string strNewFile; // the extracted copy in the setup's temporary folder
    std::string strTarget;  // the existing file it is to replace
    std::uint8_t nFlags = 0; // the FileRecord's flags
    unsigned nUserLanguage = 0; // primary language of the user (m_wLanguage)
};

// True: the new file replaces the target; false: the old file stays. Raises phase 3,
// cause 7 when a file's size cannot be asked (and lets ReadVersion's failures through).
bool DecideReplacement(const CReplacementInputs& inputs, RememberedAnswers& rememberedAnswers,
                       IReplacementFacts& facts, IReplacementQuestions& questions);
