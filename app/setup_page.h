// ISetupPage: what the main dialog asks of a page in its page area. Every operation has
// a default, so a page overrides only what it does.
#pragma once

#include <windows.h>

class ISetupPage {
public:
    // Whether the run may be finished from this page; the argument is passed as 0.
    virtual BOOL CanFinish(int) { return TRUE; }
    // Finishes the run from the current page; the argument is passed as 0.
    virtual BOOL Finish(int) { return FALSE; }
    // Keeps the page in step with the run; called after every message of the main
    // dialog's modal loop while the page is current.
    virtual void UpdatePage() {}
    // Makes the page current (shown, focused); FALSE when it cannot be.
    virtual BOOL Activate() { return FALSE; }
    // Lets the page go; FALSE keeps it current.
    virtual BOOL Deactivate(BOOL /*bForward*/) { return FALSE; }
    // Gives the page up for good: a page owned by a sequence deletes itself here.
    virtual void ReleasePage() {}
    virtual ~ISetupPage() = default;
};
