// The fault table: per kind a call counter and the calls armed to fail, each failing
// with the error the system gives for that call when the disk or the registry refuses.
#include "tests/win/fault_table/fault_table.h"

#include <atomic>
#include <mutex>
#include <set>

namespace {
struct KindRow {
    const char* pszName;
    DWORD nError;
};

// By FaultKind.
constexpr KindRow kKinds[] = {
    {"folder-create", ERROR_ACCESS_DENIED}, {"file-copy", ERROR_DISK_FULL},
    {"file-create", ERROR_ACCESS_DENIED},   {"file-write", ERROR_DISK_FULL},
    {"key-create", ERROR_ACCESS_DENIED},    {"value-set", ERROR_ACCESS_DENIED},
    {"delayed-move", ERROR_ACCESS_DENIED},
};
constexpr unsigned kKindCount = static_cast<unsigned>(FaultKind::Count);
static_assert(sizeof kKinds / sizeof kKinds[0] == kKindCount, "one row per fault kind");

std::atomic<unsigned> g_calls[kKindCount];
std::mutex g_armedLock;
std::set<unsigned> g_armed[kKindCount];
} // namespace

const char* FaultKindName(FaultKind nKind)
{
    const unsigned nIndex = static_cast<unsigned>(nKind);
    return nIndex < kKindCount ? kKinds[nIndex].pszName : "";
}

bool FaultKindByName(const std::string& strName, FaultKind& nKind)
{
    for (unsigned n = 0; n < kKindCount; ++n) {
        if (strName == kKinds[n].pszName) {
            nKind = static_cast<FaultKind>(n);
            return true;
        }
    }
    return false;
}

void ArmFault(FaultKind nKind, unsigned nCall)
{
    const std::lock_guard<std::mutex> lock(g_armedLock);
    g_armed[static_cast<unsigned>(nKind)].insert(nCall);
}

unsigned FaultCallCount(FaultKind nKind)
{
    return g_calls[static_cast<unsigned>(nKind)].load();
}

DWORD InjectedFault(FaultKind nKind)
{
    const unsigned nIndex = static_cast<unsigned>(nKind);
    const unsigned nCall = ++g_calls[nIndex];
    {
        const std::lock_guard<std::mutex> lock(g_armedLock);
        if (g_armed[nIndex].count(nCall) == 0)
            return 0;
    }
    SetLastError(kKinds[nIndex].nError);
    return kKinds[nIndex].nError;
}
