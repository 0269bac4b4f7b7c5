// The box names of the engine runner, found in the program's own message table.
#include "tests/win/engine_runner/box_names.h"

#include "sys/message_text.h"
#include "sys/my_exception.h"

#include <vector>

namespace {
// Every number the table holds, read from the table's own source.
#define LUMIDROP_MESSAGE(id, text) id,
constexpr unsigned kMessageNumbers[] = {
#include "res/message_table.inc"
};
#undef LUMIDROP_MESSAGE

bool IsInsert(const std::string& strTemplate, std::size_t nAt)
{
    if (strTemplate[nAt] != '%' || nAt + 1 >= strTemplate.size())
        return false;
    const char ch = strTemplate[nAt + 1];
    return (ch >= '1' && ch <= '9') || (ch >= 'A' && ch <= 'Z');
}

// The template's literal pieces between its inserts: one more piece than inserts.
std::vector<std::string> LiteralPieces(const std::string& strTemplate)
{
    std::vector<std::string> vecPieces(1);
    for (std::size_t n = 0; n < strTemplate.size(); ++n) {
        if (IsInsert(strTemplate, n)) {
            vecPieces.emplace_back();
            ++n;
        } else {
            vecPieces.back() += strTemplate[n];
        }
    }
    return vecPieces;
}
} // namespace

bool MatchesTemplate(const std::string& strText, const std::string& strTemplate)
{
    const std::vector<std::string> vecPieces = LiteralPieces(strTemplate);
    if (vecPieces.size() == 1)
        return strText == strTemplate;
    const std::string& strFirst = vecPieces.front();
    const std::string& strLast = vecPieces.back();
    if (strText.size() < strFirst.size() + strLast.size() || strText.compare(0, strFirst.size(), strFirst) != 0 ||
        strText.compare(strText.size() - strLast.size(), strLast.size(), strLast) != 0)
        return false;
    // Each middle piece found leftmost after the one before leaves the most room for the rest.
    std::size_t nAt = strFirst.size();
    const std::size_t nEnd = strText.size() - strLast.size();
    for (std::size_t n = 1; n + 1 < vecPieces.size(); ++n) {
        nAt = strText.find(vecPieces[n], nAt);
        if (nAt == std::string::npos || nAt + vecPieces[n].size() > nEnd)
            return false;
        nAt += vecPieces[n].size();
    }
    return true;
}

std::string BoxNameOf(const std::string& strText)
{
    for (unsigned nPhase = PHASE_PREPARING; nPhase <= PHASE_FINISHING; ++nPhase) {
        for (unsigned nCause = CAUSE_OPEN_FILE; nCause <= CAUSE_COMPRESSION; ++nCause) {
            const CSetupException failure(nPhase, nCause);
            std::string strFailure;
            if (failure.ComposeText(strFailure) && strFailure == strText)
                return std::to_string(failure.m_nPhaseMessage) + "+" + std::to_string(failure.m_nCauseMessage);
        }
    }
    for (const unsigned nId : kMessageNumbers) {
        std::string strTemplate;
        if (LoadMessage(nId, strTemplate) && MatchesTemplate(strText, strTemplate))
            return std::to_string(nId);
    }
    return "-";
}
