// CSetupException's phase and cause texts and the box conventions they are shown with.
#include "sys/message_text.h"
#include "sys/my_exception.h"
#include "tests/common/message_box_recorder.h"

#include <gtest/gtest.h>

namespace {
std::string Message(unsigned nId)
{
    std::string strText;
    EXPECT_TRUE(LoadMessage(nId, strText)) << "message " << nId;
    return strText;
}
} // namespace

TEST(ShowMessage, FolderPhaseWithFolderCauseShowsBothTextsOnTwoLines)
{
    CMessageBoxRecorder recorder(IDOK);
    CSetupException exception(PHASE_FOLDERS, CAUSE_CREATE_FOLDER);
    EXPECT_EQ(exception.ShowMessage(MB_ICONHAND), IDOK);
    ASSERT_EQ(recorder.m_boxes.size(), 1u);
    EXPECT_EQ(recorder.m_boxes[0].strText, Message(160) + "\n" + Message(163));
    EXPECT_EQ(recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
}

TEST(ShowMessage, UnknownPhaseAndCauseShowTheInternalErrorAlone)
{
    CMessageBoxRecorder recorder;
    CSetupException exception(9, 11);
    EXPECT_EQ(exception.m_nPhaseMessage, 5u);
    EXPECT_EQ(exception.m_nCauseMessage, 13u);
    exception.ShowMessage(MB_ICONHAND);
    ASSERT_EQ(recorder.m_boxes.size(), 1u);
    EXPECT_EQ(recorder.m_boxes[0].strText, "Une erreur intertne s\264est produise.");
}

TEST(ShowMessage, MissingTextShowsNothingAndAnswersMinusOne)
{
    CMessageBoxRecorder recorder;
    CSetupException exception(PHASE_FILES, CAUSE_NO_MEMORY);
    exception.m_nCauseMessage = 14;
    EXPECT_EQ(exception.ShowMessage(MB_ICONHAND), -1);
    exception.m_nCauseMessage = 51;
    exception.m_nPhaseMessage = 6;
    EXPECT_EQ(exception.ShowMessage(MB_ICONHAND), -1);
    EXPECT_TRUE(recorder.m_boxes.empty());
}

TEST(ShowMessage, EveryPhaseAndCauseMapsToItsMessage)
{
    const unsigned kPhases[] = {5, 60, 160, 63, 205, 5};
    for (unsigned nPhase = 0; nPhase < 6; ++nPhase)
        EXPECT_EQ(CSetupException::PhaseMessage(nPhase), kPhases[nPhase]) << "phase " << nPhase;
    const unsigned kCauses[] = {18, 21, 24, 33, 51, 66, 69, 72, 163, 172, 199, 13, 13};
    for (unsigned nCause = 0; nCause < 13; ++nCause)
        EXPECT_EQ(CSetupException::CauseMessage(nCause), kCauses[nCause]) << "cause " << nCause;
}

TEST(MessageBoxStyle, ExclamationIsAddedOnlyToIconlessOkAndYesNoSets)
{
    EXPECT_EQ(ApplyDefaultIcon(MB_OK), static_cast<unsigned>(MB_ICONEXCLAMATION));
    EXPECT_EQ(ApplyDefaultIcon(MB_OKCANCEL), static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(ApplyDefaultIcon(MB_YESNO), static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(ApplyDefaultIcon(MB_YESNOCANCEL), static_cast<unsigned>(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(ApplyDefaultIcon(MB_RETRYCANCEL), static_cast<unsigned>(MB_RETRYCANCEL));
    EXPECT_EQ(ApplyDefaultIcon(MB_ABORTRETRYIGNORE), static_cast<unsigned>(MB_ABORTRETRYIGNORE));
    EXPECT_EQ(ApplyDefaultIcon(MB_YESNO | MB_ICONQUESTION), static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(ApplyDefaultIcon(0x134), 0x134u);
}

TEST(MessageBoxStyle, BoxByNumberShowsTheTextOrAnEmptyOne)
{
    CMessageBoxRecorder recorder(IDNO);
    EXPECT_EQ(MessageBoxByNumber(148, MB_ICONHAND), IDNO);
    EXPECT_EQ(MessageBoxByNumber(6, MB_OK), IDNO);
    ASSERT_EQ(recorder.m_boxes.size(), 2u);
    EXPECT_EQ(recorder.m_boxes[0].strText, Message(148));
    EXPECT_EQ(recorder.m_boxes[1].strText, "");
    EXPECT_EQ(recorder.m_boxes[1].nStyle, static_cast<unsigned>(MB_ICONEXCLAMATION));
}

TEST(Exceptions, DeleteHonoursTheAutoDeleteFlag)
{
    CMyException kept(0);
    kept.Delete(); // must not free a stack object
    CException* pBase = &kept;
    pBase->Delete(); // nor through the base class, as the outer handlers hold it
    CMyException* pException = new CMyException;
    EXPECT_EQ(pException->m_bAutoDelete, 1);
    pException->Delete(); // freed: a leak would show under the sanitizers
}

TEST(Exceptions, FileExceptionNamesTheFileAndTheOperation)
{
    CMessageBoxRecorder recorder;
    CFileException exception(CFileException::endOfFile, CFileException::opRead, "C:\\t\\user.spd");
    exception.ReportError(MB_ICONHAND, 0);
    ASSERT_EQ(recorder.m_boxes.size(), 1u);
    EXPECT_NE(recorder.m_boxes[0].strText.find("C:\\t\\user.spd"), std::string::npos);
    EXPECT_NE(recorder.m_boxes[0].strText.find("read"), std::string::npos);
}
