// The end every run goes through: what it holds is released, what it changed is undone
// unless it succeeded, and its temporary folder goes in every case.
#include "engine/setup_run.h"

#include "app/setup_config.h"
#include "engine/deferred_entry.h"
#include "engine/folder_lists.h"
#include "engine/older_version.h"
#include "engine/replaced_files.h"
#include "engine/registry_before_image.h"
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
    DeleteKeptCopies(m_lists.replacedFiles);
    DeleteFileList(m_tempFiles);
    RemoveFolderList(m_tempFolders);
}

void CSetupRun::RollBack() noexcept
{
    // Pending copies first: until they are gone a restart could still move them over
    // targets the roll-back is about to free. A target that only got a pending copy was
    // never written and stays, the user's still. Files before their folders, so that the
    // folders are empty when their turn comes; the user's files the run overwrote come
    // back once the run's own are gone, from the temporary folder that still holds them.
    // The registry gets back what the run found, an older installation's keys included:
    // only what the run created goes.
    ForgetDeferredTargets(m_lists.placedFiles, m_lists.deferredReplacements);
    KeepPendingCopies(m_lists.deferredReplacements);
    DeleteFileList(m_lists.deferredReplacements);
    DeleteFileList(m_lists.placedFiles);
    DeleteFileList(m_lists.unloggedFiles);
    RestoreReplacedFiles(m_lists.replacedFiles);
    RemoveFolderList(m_lists.createdFolders);
    GiveBackRegistry(m_lists.registryBefore);
    if (m_lists.m_bCreatesProductKey)
        RemoveKeyIfEmpty(HKEY_LOCAL_MACHINE, kOlderVersionKey);
}
