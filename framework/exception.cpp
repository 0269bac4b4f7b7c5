#include "framework/exception.h"

#include "framework/message_box.h"

#include <cstring>

void CopyErrorText(const std::string& strText, char* pszError, unsigned nMaxError)
{
    if (pszError == nullptr || nMaxError == 0)
        return;
    const std::size_t nCopy = std::min<std::size_t>(strText.size(), nMaxError - 1);
    std::memcpy(pszError, strText.data(), nCopy);
    pszError[nCopy] = '\0';
}

bool CException::GetErrorMessage(char* pszError, unsigned nMaxError, unsigned* pnHelpContext) const
{
    CopyErrorText(std::string(), pszError, nMaxError);
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    return false;
}

int CException::ReportError(unsigned nStyle, unsigned nMessage) const
{
    char szText[512];
    if (GetErrorMessage(szText, sizeof szText))
        return ShowMessageBox(szText, nStyle);
    return ShowMessageBoxById(nMessage, nStyle);
}

static const char* OperationText(CFileException::Operation nOperation)
{
    switch (nOperation) {
    case CFileException::opOpen: return "opened";
    case CFileException::opRead: return "read";
    case CFileException::opWrite: return "written";
    case CFileException::opSeek: return "positioned";
    case CFileException::opLength: return "measured";
    case CFileException::opClose: return "closed";
    }
    return "used";
}

static const char* CauseText(CFileException::Cause nCause)
{
    switch (nCause) {
    case CFileException::none: return "";
    case CFileException::genericException: return "an unexpected error occurred";
    case CFileException::fileNotFound: return "the file was not found";
    case CFileException::accessDenied: return "access was denied";
    case CFileException::sharingViolation: return "another program is using it";
    case CFileException::endOfFile: return "the file ended too early";
    case CFileException::diskFull: return "the disk is full";
    case CFileException::badSeek: return "the position is out of range";
    }
    return "an unexpected error occurred";
}

std::string CFileException::Describe() const
{
    std::string strText = "The file '" + m_strFileName + "' could not be " + OperationText(m_nOperation);
    const char* pszCause = CauseText(m_nCause);
    if (*pszCause != '\0')
        strText += std::string(": ") + pszCause;
    if (m_lOsError != 0)
        strText += " (error " + std::to_string(m_lOsError) + ")";
    return strText + ".";
}

bool CFileException::GetErrorMessage(char* pszError, unsigned nMaxError, unsigned* pnHelpContext) const
{
    CopyErrorText(Describe(), pszError, nMaxError);
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    return true;
}
