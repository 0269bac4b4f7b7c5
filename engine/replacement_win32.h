// The replacement decision as the setup thread takes it: the system's version facts and
// the program's message boxes.
#pragma once

#include "engine/replacement_policy.h"

// Fills each question's message from the table (FormatOne for one insert, the system's
// formatter for three) and shows it through the program's one message-box door.
class CMessageBoxQuestions final : public IReplacementQuestions {
public:
    int Ask(unsigned nMessage, const std::vector<std::string>& vecInserts, unsigned nStyle) override;
};

// DecideReplacement against the real files and the user.
bool DecideReplacement(const CReplacementInputs& inputs, RememberedAnswers& rememberedAnswers);
