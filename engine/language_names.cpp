#include "engine/language_names.h"

namespace {
const char* Conjunction(unsigned nUserLanguage)
{
    switch (nUserLanguage) {
    case kLanguageGerman: return "und ";
    case kLanguageFrench: return "et ";
    default: return "and ";
    }
}
} // namespace

void JoinLanguageNames(std::string& strOut, const std::vector<std::string>& vecNames, unsigned nUserLanguage)
{
    strOut.clear();
    const std::size_t nCount = vecNames.size();
    for (std::size_t i = 0; i < nCount; ++i) {
        const std::string& strName = vecNames[i];
        if (strName.empty())
            continue;
        // The separator depends on the entry's place in the table, not on how many names
        // were written before it: a skipped first name still leaves ", " before the second.
        if (i > 0 && i + 1 < nCount)
            strOut += ", ";
        else if (i + 1 == nCount && !strOut.empty())
            strOut += Conjunction(nUserLanguage);
        strOut += strName;
    }
}
