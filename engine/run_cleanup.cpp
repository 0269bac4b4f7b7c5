// The end every run goes through: what it holds is released, what it changed is undone
// unless it succeeded, and its temporary folder goes in every case.
#include "engine/setup_run.h"

#include "app/setup_config.h"
#include "engine/deferred_entry.h"
#include "engine/folder_lists.h"
#include "engine/registry_rollback.h"
#include "framework/exception.h"

void CSetupRun::CleanUp() noexcept
{
    if (m_pConfig != nullptr) {
        ReleaseSetupConfig(m_pConfig);
        m_pConfig = nullptr;
    }
    // The stream is open with exclusive sharing: closed first, or its file cannot be deleted.
    try {
        if (m_pStream != nullptr && m_pStream->IsOpen())
            m_pStream->Close();
    } catch (CException* pException) {
        pException->Delete();
    }
    m_pStream.reset();
    if (!m_bSuccess)
        RollBack();
    DeleteFileList(m_tempFiles);
    RemoveFolderList(m_tempFolders);
}

void CSetupRun::RollBack() noexcept
{
    // Pending copies first: until they are gone a restart could still move them over
    // targets the roll-back is about to free. Files before their folders, so that the
    // folders are empty when their turn comes.
    KeepPendingCopies(m_lists.deferredReplacements);
    DeleteFileList(m_lists.deferredReplacements);
    DeleteFileList(m_lists.placedFiles);
    RemoveFolderList(m_lists.createdFolders);
    RollBackRegistryEntries(m_lists.registryEntries);
}
