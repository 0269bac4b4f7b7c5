// Stands in for the real message box during a test and records what would have been shown.
#pragma once

#include "framework/message_box.h"

#include <string>
#include <vector>

struct ShownBox {
    std::string strText;
    unsigned nStyle;
};

class CMessageBoxRecorder {
public:
    explicit CMessageBoxRecorder(int nAnswer = IDOK)
    {
        m_previous = SetMessageBoxAnswerer([this, nAnswer](const std::string& strText, unsigned nStyle) {
            m_boxes.push_back({strText, nStyle});
            return nAnswer;
        });
    }
    CMessageBoxRecorder(const CMessageBoxRecorder&) = delete;
    CMessageBoxRecorder& operator=(const CMessageBoxRecorder&) = delete;
    ~CMessageBoxRecorder() { SetMessageBoxAnswerer(m_previous); }

    std::vector<ShownBox> m_boxes;

private:
    MessageBoxAnswerer m_previous;
};
