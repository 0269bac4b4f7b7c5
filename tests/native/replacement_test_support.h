// Facts about two files and a user's answers, given directly, for the replacement decision.
#pragma once

#include "engine/replacement_policy.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// What one file shows the decision.
struct GivenFile {
    std::uint32_t nVersionSize = 0; // 0: no version resource
    bool bReadable = true;          // the resource can be read
    CVersionFacts version;
    std::uint32_t nFileSize = 100;
    bool bSizeKnown = true;
};

inline GivenFile Plain(std::uint32_t nFileSize)
{
    GivenFile file;
    file.nFileSize = nFileSize;
    return file;
}

inline GivenFile Versioned(std::uint32_t nMS, std::uint32_t nLS, std::vector<std::uint16_t> vecLanguages = {0x0409})
{
    GivenFile file;
    file.nVersionSize = 400;
    file.version = {nMS, nLS, std::move(vecLanguages)};
    return file;
}

inline GivenFile Unreadable(std::uint32_t nFileSize = 100)
{
    GivenFile file = Versioned(0x00010000, 0);
    file.bReadable = false;
    file.nFileSize = nFileSize;
    return file;
}

// Answers from the files it is given and notes every question asked of it, as "what path".
class CGivenFacts : public IReplacementFacts {
public:
    std::uint32_t VersionSize(const std::string& strPath) override
    {
        m_vecCalls.push_back("version size " + strPath);
        return File(strPath).nVersionSize;
    }
    bool ReadVersion(const std::string& strPath, std::uint32_t nSize, CVersionFacts& facts) override
    {
        m_vecCalls.push_back("read version " + strPath);
        const GivenFile& file = File(strPath);
        EXPECT_EQ(nSize, file.nVersionSize) << strPath;
        if (file.bReadable)
            facts = file.version;
        return file.bReadable;
    }
    bool FileSize(const std::string& strPath, std::uint32_t& nSize) override
    {
        m_vecCalls.push_back("file size " + strPath);
        nSize = File(strPath).nFileSize;
        return File(strPath).bSizeKnown;
    }
    std::string LanguageName(std::uint16_t nLanguage) override
    {
        const auto it = m_names.find(nLanguage);
        return it != m_names.end() ? it->second : std::string();
    }

    std::map<std::string, GivenFile> m_files;
    std::map<std::uint16_t, std::string> m_names;
    std::vector<std::string> m_vecCalls;

private:
    const GivenFile& File(const std::string& strPath)
    {
        const auto it = m_files.find(strPath);
        if (it == m_files.end())
            ADD_FAILURE() << "asked about an unknown file " << strPath;
        return m_files[strPath];
    }
};

struct AskedQuestion {
    unsigned nMessage;
    std::vector<std::string> vecInserts;
    unsigned nStyle;
};

// Gives the scripted answers in order; a question beyond the script fails the test.
class CScriptedQuestions : public IReplacementQuestions {
public:
    explicit CScriptedQuestions(std::vector<int> vecAnswers = {}) : m_vecAnswers(std::move(vecAnswers)) {}

    int Ask(unsigned nMessage, const std::vector<std::string>& vecInserts, unsigned nStyle) override
    {
        m_vecAsked.push_back({nMessage, vecInserts, nStyle});
        if (m_nNext >= m_vecAnswers.size()) {
            ADD_FAILURE() << "unexpected message " << nMessage;
            return 2; // IDCANCEL: neither Yes nor No
        }
        return m_vecAnswers[m_nNext++];
    }

    bool ScriptUsedUp() const { return m_nNext == m_vecAnswers.size(); }

    std::vector<AskedQuestion> m_vecAsked;

private:
    std::vector<int> m_vecAnswers;
    std::size_t m_nNext = 0;
};
