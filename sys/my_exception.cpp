#include "sys/my_exception.h"

#include "framework/message_box.h"
#include "sys/message_text.h"

unsigned CSetupException::PhaseMessage(unsigned nPhase)
{
    switch (nPhase) {
    case PHASE_PREPARING: return 60;
    case PHASE_FOLDERS: return 160;
    case PHASE_FILES: return 63;
    case PHASE_FINISHING: return 205;
    default: return 5;
    }
}

unsigned CSetupException::CauseMessage(unsigned nCause)
{
    static const unsigned kCauseMessages[] = {18, 21, 24, 33, 51, 66, 69, 72, 163, 172, 199};
    if (nCause < sizeof kCauseMessages / sizeof kCauseMessages[0])
        return kCauseMessages[nCause];
    return kNoCauseMessage;
}

CSetupException::CSetupException(unsigned nPhase, unsigned nCause)
    : m_nPhaseMessage(PhaseMessage(nPhase)), m_nCauseMessage(CauseMessage(nCause))
{
}

bool CSetupException::ComposeText(std::string& strText) const
{
    std::string strPhase;
    std::string strCause;
    if (!LoadMessage(m_nPhaseMessage, strPhase) || !LoadMessage(m_nCauseMessage, strCause))
        return false;
    if (m_nCauseMessage != kNoCauseMessage)
        strPhase += "\n" + strCause;
    strText = strPhase;
    return true;
}

int CSetupException::ShowMessage(unsigned nStyle) const
{
    std::string strText;
    if (!ComposeText(strText))
        return -1;
    return ShowMessageBox(strText, nStyle);
}

void ThrowSetupException(unsigned nPhase, unsigned nCause)
{
    throw new CSetupException(nPhase, nCause);
}

void ThrowMyException()
{
    throw new CMyException;
}
