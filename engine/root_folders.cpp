#include "engine/root_folders.h"

#include "sys/my_exception.h"

void CRootFolders::Set(unsigned nRoot, const std::string& strFolder)
{
    std::string& strKept = m_mapFolders[nRoot];
    strKept = strFolder;
    if (!strKept.empty() && strKept.back() == '\\')
        strKept.pop_back();
}

const std::string& CRootFolders::FolderOf(unsigned nRoot, unsigned nPhase) const
{
    const auto it = m_mapFolders.find(nRoot);
    if (it == m_mapFolders.end())
        ThrowSetupException(nPhase, CAUSE_UNEXPECTED);
    return it->second;
}
