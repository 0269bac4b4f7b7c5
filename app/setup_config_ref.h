// Holds one reference to the setup configuration for the length of a scope, so that
// every way out of an operation gives it back.
#pragma once

#include "app/setup_config.h"

class CSetupConfigRef {
public:
    CSetupConfigRef() : m_pConfig(AcquireSetupConfig()) {}
    CSetupConfigRef(const CSetupConfigRef&) = delete;
    CSetupConfigRef& operator=(const CSetupConfigRef&) = delete;
    ~CSetupConfigRef() { ReleaseSetupConfig(m_pConfig); }

    CSetupConfig* operator->() const { return m_pConfig; }
    CSetupConfig& operator*() const { return *m_pConfig; }

private:
    CSetupConfig* m_pConfig;
};
