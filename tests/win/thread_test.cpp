// CWinThread: created suspended by class, its handle usable after the thread has ended,
// exceptions stopped at the thread's first frame.
#include "framework/exception.h"
#include "framework/win_thread.h"
#include "tests/common/message_box_recorder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class CCountingThread : public CWinThread {
public:
    int Run() override
    {
        ++m_nRuns;
        return 42;
    }
    int m_nRuns = 0;
};

class CThrowingThread : public CWinThread {
public:
    int Run() override { throw new CFileException(CFileException::diskFull, CFileException::opWrite, "C:\\full.bin"); }
};

DWORD WaitAndGetExitCode(CWinThread& thread)
{
    EXPECT_EQ(WaitForSingleObject(thread.GetHandle(), INFINITE), WAIT_OBJECT_0);
    DWORD dwExitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.GetHandle(), &dwExitCode));
    return dwExitCode;
}
} // namespace

TEST(WinThread, CreatedSuspendedRunsOnlyAfterResume)
{
    std::unique_ptr<CCountingThread> pThread(BeginThread<CCountingThread>(THREAD_PRIORITY_NORMAL, 0, true));
    ASSERT_NE(pThread, nullptr);
    // A suspend count of 1 proves the thread has not been let go yet.
    EXPECT_EQ(pThread->SuspendThread(), 1u);
    EXPECT_EQ(pThread->ResumeThread(), 2u);
    EXPECT_EQ(pThread->ResumeThread(), 1u);
    EXPECT_EQ(WaitAndGetExitCode(*pThread), 42u);
    EXPECT_EQ(pThread->m_nRuns, 1);
    // The handle stays valid after the end: the owner may still query it.
    DWORD dwExitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(pThread->GetHandle(), &dwExitCode));
    EXPECT_EQ(dwExitCode, 42u);
}

TEST(WinThread, StartsAtOnceUnlessAskedToWait)
{
    std::unique_ptr<CCountingThread> pThread(BeginThread<CCountingThread>());
    ASSERT_NE(pThread, nullptr);
    EXPECT_EQ(WaitAndGetExitCode(*pThread), 42u);
    EXPECT_EQ(pThread->m_nRuns, 1);
}

TEST(WinThread, ExceptionFromRunIsReportedAndStopped)
{
    CMessageBoxRecorder recorder;
    std::unique_ptr<CThrowingThread> pThread(BeginThread<CThrowingThread>());
    ASSERT_NE(pThread, nullptr);
    EXPECT_EQ(WaitAndGetExitCode(*pThread), static_cast<DWORD>(-1));
    ASSERT_EQ(recorder.m_boxes.size(), 1u);
    EXPECT_NE(recorder.m_boxes[0].strText.find("C:\\full.bin"), std::string::npos);
    EXPECT_EQ(recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
}
