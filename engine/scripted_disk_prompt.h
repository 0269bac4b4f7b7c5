// A disk prompt that answers from a script and keeps every question it was asked; once
// the script is used up it cancels, as a user who gives up would.
#pragma once

#include "engine/disk_prompt.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class CScriptedDiskPrompt : public IDiskPrompt {
public:
    struct Answer {
        bool bOk;
        std::string strFolder;
    };
    struct Question {
        std::string strFileName;
        std::string strFolder;
        unsigned nDisk;
    };

    explicit CScriptedDiskPrompt(std::vector<Answer> vecAnswers = {}) : m_vecAnswers(std::move(vecAnswers)) {}

    bool Ask(const std::string& strFileName, const std::string& strFolder, unsigned nDisk,
             std::string& strChosenFolder) override
    {
        m_vecQuestions.push_back({strFileName, strFolder, nDisk});
        if (m_nNext >= m_vecAnswers.size())
            return false;
        const Answer& answer = m_vecAnswers[m_nNext++];
        if (answer.bOk)
            strChosenFolder = answer.strFolder;
        return answer.bOk;
    }

    std::vector<Question> m_vecQuestions;

private:
    std::vector<Answer> m_vecAnswers;
    std::size_t m_nNext = 0;
};
