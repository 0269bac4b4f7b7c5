// The folders the package's root codes stand for in this run: 1 the Windows folder, 2 the
// system folder, 3 the Program Files folder, 4 the common-files folder, 5 the destination.
#pragma once

#include <map>
#include <string>

class CRootFolders {
public:
    // Keeps strFolder without one trailing backslash: every path below a root is joined
    // with a backslash of its own.
    void Set(unsigned nRoot, const std::string& strFolder);

    // The folder of root code nRoot; raises phase nPhase, cause 7 when the run has none
    // for it.
    const std::string& FolderOf(unsigned nRoot, unsigned nPhase) const;

private:
    std::map<unsigned, std::string> m_mapFolders;
};
