#include "scr/fx_library.h"

namespace {

// GetProcAddress gives a generic function pointer; the exported names fix the real type.
template <class TFunction>
TFunction Lookup(HMODULE hModule, const char* pszName)
{
    return reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}

} // namespace

CFxLibrary::CFxLibrary() : m_hModule(LoadLibraryA("lumidrop_fx.dll"))
{
    if (m_hModule == nullptr)
        return;
    const auto pfnVersion = Lookup<LumidropFxApiVersionFn>(m_hModule, "LumidropFxApiVersion");
    if (pfnVersion == nullptr || pfnVersion() != kLumidropFxApiVersion)
        return;
    m_pfnStep = Lookup<LumidropFxStepFn>(m_hModule, "LumidropFxStep");
    m_pfnColour = Lookup<LumidropFxColourFn>(m_hModule, "LumidropFxColour");
}

CFxLibrary::~CFxLibrary()
{
    if (m_hModule != nullptr)
        FreeLibrary(m_hModule);
}
