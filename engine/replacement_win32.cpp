#include "engine/replacement_win32.h"

#include "engine/version_facts_win32.h"
#include "framework/message_box.h"
#include "sys/message_text.h"

#include <windows.h>

static_assert(kAnswerYes == IDYES && kAnswerNo == IDNO, "remembered answers are the system's button codes");

int CMessageBoxQuestions::Ask(unsigned nMessage, const std::vector<std::string>& vecInserts, unsigned nStyle)
{
    std::string strText;
    if (vecInserts.empty())
        return MessageBoxByNumber(nMessage, nStyle);
    if (vecInserts.size() == 1) {
        FormatOne(strText, nMessage, vecInserts[0].c_str());
    } else {
        auto insert = [&vecInserts](std::size_t i) { return i < vecInserts.size() ? vecInserts[i].c_str() : ""; };
        FormatThree(strText, nMessage, insert(0), insert(1), insert(2));
    }
    return ShowMessageBox(strText, nStyle);
}

bool DecideReplacement(const CReplacementInputs& inputs, RememberedAnswers& rememberedAnswers)
{
    CSystemVersionFacts facts;
    CMessageBoxQuestions questions;
    return DecideReplacement(inputs, rememberedAnswers, facts, questions);
}
