#include "engine/replacement_policy.h"

#include "engine/language_names.h"
#include "format/package_records.h"
#include "sys/my_exception.h"

#include <numeric>

namespace {
// One file's version information as far as it could be read.
struct CFileVersion {
    bool bPresent = false;
    CVersionFacts facts;
};

// Reads the resource of a file whose size is known; a resource that cannot be read is
// reported and the file then counts as unversioned.
CFileVersion ReadFileVersion(const std::string& strPath, std::uint32_t nSize, IReplacementFacts& facts,
                             IReplacementQuestions& questions)
{
    CFileVersion version;
    if (nSize == 0)
        return version;
    version.bPresent = facts.ReadVersion(strPath, nSize, version.facts);
    if (!version.bPresent) {
        questions.Ask(kUnreadableVersionMessage, {strPath}, kUnreadableStyle);
        version.facts = CVersionFacts();
    }
    return version;
}

std::uint32_t FileSizeOrRaise(const std::string& strPath, IReplacementFacts& facts)
{
    std::uint32_t nSize = 0;
    if (!facts.FileSize(strPath, nSize))
        ThrowSetupException(PHASE_FILES, CAUSE_UNEXPECTED);
    return nSize;
}

// The answer to a case's question: remembered, or asked (and then perhaps remembered).
int AnswerCase(ReplacementCase nCase, const std::string& strTarget, RememberedAnswers& rememberedAnswers,
               IReplacementQuestions& questions)
{
    std::int32_t& nSlot = rememberedAnswers[nCase];
    if (nSlot == kAnswerYes || nSlot == kAnswerNo)
        return nSlot;
    const unsigned nStyle = nCase == CASE_VITAL ? kVitalQuestionStyle : kFileQuestionStyle;
    const int nAnswer = questions.Ask(kCaseMessages[nCase], {strTarget}, nStyle);
    if (nSlot == 0)
        nSlot = questions.Ask(kRememberMessage, {}, kRememberStyle) == kAnswerYes ? nAnswer : kAnswerNotRemembered;
    return nAnswer;
}

// Replace or keep after a case question: bYesReplaces tells which way Yes goes.
bool DecideCase(ReplacementCase nCase, bool bYesReplaces, const std::string& strTarget,
                RememberedAnswers& rememberedAnswers, IReplacementQuestions& questions)
{
    const bool bYes = AnswerCase(nCase, strTarget, rememberedAnswers, questions) == kAnswerYes;
    return bYes == bYesReplaces;
}

std::uint32_t LanguageSum(const CVersionFacts& facts)
{
    return std::accumulate(facts.vecLanguages.begin(), facts.vecLanguages.end(), std::uint32_t{0});
}

std::string LanguageList(const CVersionFacts& facts, unsigned nUserLanguage, IReplacementFacts& source)
{
    std::vector<std::string> vecNames;
    for (std::uint16_t nLanguage : facts.vecLanguages)
        vecNames.push_back(source.LanguageName(nLanguage));
    std::string strList;
    JoinLanguageNames(strList, vecNames, nUserLanguage);
    return strList;
}

// Both files carry version information: a different file version always wins, the same
// version with the same languages is the same file, and only different languages ask.
bool DecideBothVersioned(const CReplacementInputs& inputs, const CVersionFacts& newFile,
                         const CVersionFacts& oldFile, IReplacementFacts& facts, IReplacementQuestions& questions)
{
    if (newFile.nFileVersionMS != oldFile.nFileVersionMS || newFile.nFileVersionLS != oldFile.nFileVersionLS)
        return true;
    if (LanguageSum(newFile) == LanguageSum(oldFile))
        return false;
    const std::string strOldLanguages = LanguageList(oldFile, inputs.nUserLanguage, facts);
    const std::string strNewLanguages = LanguageList(newFile, inputs.nUserLanguage, facts);
    return questions.Ask(kLanguagesMessage, {inputs.strTarget, strOldLanguages, strNewLanguages},
                         kFileQuestionStyle) != kAnswerNo;
}
} // namespace

bool DecideReplacement(const CReplacementInputs& inputs, RememberedAnswers& rememberedAnswers,
                       IReplacementFacts& facts, IReplacementQuestions& questions)
{
    // A vital file's question comes before any look at the files: its answer alone counts.
    if ((inputs.nFlags & Vital) != 0)
        return DecideCase(CASE_VITAL, false, inputs.strTarget, rememberedAnswers, questions);

    const std::uint32_t nNewSize = facts.VersionSize(inputs.strNewFile);
    const std::uint32_t nOldSize = facts.VersionSize(inputs.strTarget);
    const CFileVersion newFile = ReadFileVersion(inputs.strNewFile, nNewSize, facts, questions);
    const CFileVersion oldFile = ReadFileVersion(inputs.strTarget, nOldSize, facts, questions);

    if (newFile.bPresent && oldFile.bPresent)
        return DecideBothVersioned(inputs, newFile.facts, oldFile.facts, facts, questions);
    if (oldFile.bPresent)
        return DecideCase(CASE_ONLY_OLD_VERSIONED, false, inputs.strTarget, rememberedAnswers, questions);
    if (newFile.bPresent)
        return DecideCase(CASE_ONLY_NEW_VERSIONED, true, inputs.strTarget, rememberedAnswers, questions);

    const std::uint32_t nNewFileSize = FileSizeOrRaise(inputs.strNewFile, facts);
    const std::uint32_t nOldFileSize = FileSizeOrRaise(inputs.strTarget, facts);
    const ReplacementCase nCase =
        nNewFileSize == nOldFileSize ? CASE_UNVERSIONED_SAME_SIZE : CASE_UNVERSIONED_DIFFERENT_SIZE;
    return DecideCase(nCase, true, inputs.strTarget, rememberedAnswers, questions);
}
