// CPageSequence with pages that note every call: GoTo, Next, UpdateCurrent, PageAt,
// RemoveAll, and the invariant between the current page and its index after each.
#include "app/page_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Log = std::vector<std::string>;

// A page whose answers are set by the test and whose calls go to a shared log.
class CNotingPage : public ISetupPage {
public:
    CNotingPage(Log& log, char chName) : m_log(log), m_strName(1, chName) {}

    BOOL CanFinish(int) override { return Note("CanFinish", m_bCanFinish); }
    BOOL Finish(int) override { return Note("Finish", m_bFinish); }
    void UpdatePage() override { Note("Update", TRUE); }
    BOOL Activate() override { return Note("Activate", m_bActivate); }
    BOOL Deactivate(BOOL bForward) override
    {
        EXPECT_TRUE(bForward);
        return Note("Deactivate", m_bDeactivate);
    }
    void ReleasePage() override { Note("Release", TRUE); }

    BOOL m_bCanFinish = TRUE, m_bFinish = FALSE, m_bActivate = TRUE, m_bDeactivate = TRUE;

private:
    BOOL Note(const char* pszCall, BOOL bResult)
    {
        m_log.push_back(m_strName + "." + pszCall);
        return bResult;
    }
    Log& m_log;
    std::string m_strName;
};

class PageSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (CNotingPage& page : m_pages)
            ASSERT_TRUE(m_sequence.Add(&page));
    }
    void TearDown() override { CheckInvariant(); }

    void CheckInvariant() const
    {
        if (m_sequence.GetCurrent() == nullptr)
            EXPECT_EQ(m_sequence.GetCurrentIndex(), -1);
        else
            EXPECT_EQ(m_sequence.GetCurrent(), m_sequence.PageAt(m_sequence.GetCurrentIndex()));
    }
    // The log from here on.
    Log Calls() { return std::exchange(m_log, {}); }

    Log m_log;
    CNotingPage m_pages[3] = {{m_log, 'a'}, {m_log, 'b'}, {m_log, 'c'}};
    CPageSequence m_sequence;
};
} // namespace

TEST_F(PageSequence, EmptySequenceRefusesEverything)
{
    CPageSequence empty;
    EXPECT_FALSE(empty.GoTo(0));
    EXPECT_FALSE(empty.Next());
    EXPECT_FALSE(empty.UpdateCurrent());
    EXPECT_EQ(empty.PageAt(0), nullptr);
    EXPECT_EQ(empty.GetCurrent(), nullptr);
    EXPECT_EQ(empty.GetCurrentIndex(), -1);
}

TEST_F(PageSequence, GoToDeactivatesTheCurrentAndAnswersWithActivate)
{
    m_pages[2].m_bActivate = FALSE;
    EXPECT_TRUE(m_sequence.GoTo(0));
    EXPECT_EQ(Calls(), (Log{"a.Activate"}));
    EXPECT_FALSE(m_sequence.GoTo(2));
    EXPECT_EQ(Calls(), (Log{"a.Deactivate", "c.Activate"}));
    EXPECT_EQ(m_sequence.GetCurrentIndex(), 2);
    CheckInvariant();
}

TEST_F(PageSequence, GoToRefusedChangesNothing)
{
    m_sequence.GoTo(1);
    Calls();
    EXPECT_FALSE(m_sequence.GoTo(3));
    EXPECT_EQ(m_sequence.GetCurrent(), &m_pages[1]);
    m_pages[1].m_bDeactivate = FALSE;
    EXPECT_FALSE(m_sequence.GoTo(0));
    EXPECT_EQ(Calls(), (Log{"b.Deactivate"}));
    EXPECT_EQ(m_sequence.GetCurrent(), &m_pages[1]);
    EXPECT_EQ(m_sequence.GetCurrentIndex(), 1);
}

TEST_F(PageSequence, NextWalksFromNoPageToTheLast)
{
    EXPECT_TRUE(m_sequence.Next());
    EXPECT_EQ(Calls(), (Log{"a.Activate"}));
    EXPECT_TRUE(m_sequence.Next());
    EXPECT_EQ(Calls(), (Log{"a.Deactivate", "b.Activate"}));
    CheckInvariant();
    m_pages[1].m_bDeactivate = FALSE;
    EXPECT_FALSE(m_sequence.Next());
    EXPECT_EQ(Calls(), (Log{"b.Deactivate"}));
    EXPECT_EQ(m_sequence.GetCurrent(), &m_pages[1]);
}

TEST_F(PageSequence, NextOnTheLastPageAsksEveryPageThenFinishes)
{
    m_sequence.GoTo(2);
    Calls();
    // The defaults: every page may finish, and Finish answers FALSE; nothing moves.
    EXPECT_FALSE(m_sequence.Next());
    EXPECT_EQ(Calls(), (Log{"a.CanFinish", "b.CanFinish", "c.CanFinish", "c.Finish"}));
    m_pages[2].m_bFinish = TRUE;
    EXPECT_TRUE(m_sequence.Next());
    Calls();
    m_pages[1].m_bCanFinish = FALSE;
    EXPECT_FALSE(m_sequence.Next());
    EXPECT_EQ(Calls(), (Log{"a.CanFinish", "b.CanFinish"}));
    EXPECT_EQ(m_sequence.GetCurrentIndex(), 2);
}

TEST_F(PageSequence, UpdateCurrentReachesOnlyTheCurrentPage)
{
    EXPECT_FALSE(m_sequence.UpdateCurrent());
    EXPECT_EQ(Calls(), Log{});
    m_sequence.GoTo(1);
    Calls();
    EXPECT_TRUE(m_sequence.UpdateCurrent());
    EXPECT_EQ(Calls(), (Log{"b.Update"}));
}

TEST_F(PageSequence, PageAtAndRemoveAll)
{
    EXPECT_EQ(m_sequence.PageAt(1), &m_pages[1]);
    EXPECT_EQ(m_sequence.PageAt(3), nullptr);
    m_sequence.GoTo(1);
    Calls();
    m_sequence.RemoveAll();
    EXPECT_EQ(Calls(), (Log{"a.Release", "b.Release", "c.Release"}));
    EXPECT_EQ(m_sequence.GetCount(), 0);
    EXPECT_EQ(m_sequence.GetCurrent(), nullptr);
}

TEST(PageSequenceLifetime, DestroyingTheSequenceReleasesItsPages)
{
    Log log;
    CNotingPage page(log, 'a');
    {
        CPageSequence sequence;
        sequence.Add(&page);
    }
    EXPECT_EQ(log, (Log{"a.Release"}));
}
