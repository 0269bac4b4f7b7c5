#include "app/setup_config.h"

namespace {
CSetupConfig* g_pConfig = nullptr;
LONG g_nReferences = 0;
} // namespace

CSetupConfig* AcquireSetupConfig()
{
    // The first acquire happens at start-up, before any second thread exists, so
    // creating the object needs no lock; only the count is shared later.
    if (g_pConfig == nullptr)
        g_pConfig = new CSetupConfig;
    InterlockedIncrement(&g_nReferences);
    return g_pConfig;
}

void ReleaseSetupConfig(CSetupConfig* pConfig)
{
    if (pConfig == nullptr)
        return;
    if (InterlockedDecrement(&g_nReferences) == 0) {
        if (pConfig == g_pConfig)
            g_pConfig = nullptr;
        delete pConfig;
    }
}
