// The program's own exceptions.
//
// CMyException thrown by itself is a silent "cannot go on" signal: whoever catches it
// decides what the user is told. CSetupException carries what the setup was doing (the
// phase) and what went wrong (the cause), both as message numbers, and shows them in
// one box.
#pragma once

#include "framework/exception.h"

#include <cstdint>

class CMyException : public CException {
public:
    CMyException() : m_bAutoDelete(1) {}
    explicit CMyException(std::int32_t bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

    // Destroys the object only when it was made to be deleted by its catcher.
    void Delete() override
    {
        if (m_bAutoDelete > 0)
            delete this;
    }

    std::int32_t m_bAutoDelete;
};

enum SetupPhase : unsigned {
    PHASE_PREPARING = 1,
    PHASE_FOLDERS = 2,
    PHASE_FILES = 3,
    PHASE_FINISHING = 4,
};

enum SetupCause : unsigned {
    CAUSE_OPEN_FILE = 0,
    CAUSE_TEMP_FOLDER = 1,
    CAUSE_FILE_ERROR = 2,
    CAUSE_DAMAGED = 3,
    CAUSE_NO_MEMORY = 4,
    CAUSE_DECOMPRESSION = 5,
    CAUSE_INTERNAL = 6,
    CAUSE_UNEXPECTED = 7,
    CAUSE_CREATE_FOLDER = 8,
    CAUSE_CANNOT_PROCEED = 9,
    CAUSE_COMPRESSION = 10,
};

class CSetupException : public CMyException {
public:
    // Turns phase and cause into their message numbers at once; only those are kept.
    CSetupException(unsigned nPhase, unsigned nCause);

    // Shows the phase text and, unless the cause has no text, the cause text on the
    // next line. Returns the button pressed, or -1 (and shows nothing) when either
    // text is missing from the table.
    virtual int ShowMessage(unsigned nStyle) const;

    // The phase and cause texts joined as ShowMessage shows them; false when either is missing.
    bool ComposeText(std::string& strText) const;

    static unsigned PhaseMessage(unsigned nPhase);
    static unsigned CauseMessage(unsigned nCause);

    std::uint32_t m_nPhaseMessage;
    std::uint32_t m_nCauseMessage;
};

// The message number of a cause that has nothing to add to its phase.
constexpr unsigned kNoCauseMessage = 13;

[[noreturn]] void ThrowSetupException(unsigned nPhase, unsigned nCause);
[[noreturn]] void ThrowMyException();
