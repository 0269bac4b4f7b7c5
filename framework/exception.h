// Exception classes of the framework: failures travel as pointers to heap objects
// and the handler that catches one destroys it with Delete().
#pragma once

#include <cstddef>
#include <string>

class CException {
public:
    CException() = default;
    CException(const CException&) = delete;
    CException& operator=(const CException&) = delete;
    virtual ~CException() = default;

    // Copies a description into pszError (always zero-terminated when nMaxError > 0).
    // Returns false when the exception has no text of its own.
    virtual bool GetErrorMessage(char* pszError, unsigned nMaxError, unsigned* pnHelpContext = nullptr) const;

    // Shows the exception's own text, or message nMessage when it has none.
    virtual int ReportError(unsigned nStyle, unsigned nMessage) const;

    // Virtual so that a handler holding a base pointer still honours a derived class's rule
    // on whether it may be freed.
    virtual void Delete() { delete this; }
};

// Raised where the framework runs out of memory (or a system call that allocates for us fails).
class CMemoryException : public CException {
};

// Raised by CFile when opening, reading, writing or seeking an open file fails.
class CFileException : public CException {
public:
    enum Cause { none, genericException, fileNotFound, accessDenied, sharingViolation, endOfFile, diskFull, badSeek };
    enum Operation { opOpen, opRead, opWrite, opSeek, opLength, opClose };

    CFileException(Cause nCause, Operation nOperation, std::string strFileName, long lOsError = 0)
        : m_nCause(nCause), m_nOperation(nOperation), m_strFileName(std::move(strFileName)), m_lOsError(lOsError) {}

    bool GetErrorMessage(char* pszError, unsigned nMaxError, unsigned* pnHelpContext = nullptr) const override;

    std::string Describe() const;

    Cause m_nCause;
    Operation m_nOperation;
    std::string m_strFileName;
    long m_lOsError;
};

// Copies text into a caller's fixed buffer, cutting it to fit; shared by the GetErrorMessage overrides.
void CopyErrorText(const std::string& strText, char* pszError, unsigned nMaxError);
