#include "engine/deferred_entry.h"

#include <algorithm>

std::string MakeDeferredEntry(const std::string& strPendingCopy, const std::string& strTarget)
{
    return strPendingCopy + '\n' + strTarget;
}

void SplitDeferredEntry(const std::string& strEntry, std::string& strPendingCopy, std::string& strTarget)
{
    const std::size_t nBreak = strEntry.find('\n');
    strPendingCopy = strEntry.substr(0, nBreak);
    strTarget = nBreak == std::string::npos ? std::string() : strEntry.substr(nBreak + 1);
}

void KeepPendingCopies(std::vector<std::string>& vecEntries)
{
    for (std::string& strEntry : vecEntries) {
        const std::size_t nBreak = strEntry.find('\n');
        if (nBreak != std::string::npos)
            strEntry.erase(nBreak);
    }
}

void ForgetDeferredTargets(std::vector<std::string>& vecPlaced, const std::vector<std::string>& vecEntries)
{
    for (const std::string& strEntry : vecEntries) {
        std::string strPending;
        std::string strTarget;
        SplitDeferredEntry(strEntry, strPending, strTarget);
        vecPlaced.erase(std::remove(vecPlaced.begin(), vecPlaced.end(), strTarget), vecPlaced.end());
    }
}
