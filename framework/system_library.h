// Libraries of the system that the programs load for themselves, and the search rule
// every program sets first: no library is ever taken from the program's own folder or
// the current folder, where anyone who can drop a file beside a downloaded setup could
// have it run with the installer's rights.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// Owns one loaded library and frees it on destruction.
class CLibrary {
public:
    CLibrary() = default;
    explicit CLibrary(HMODULE hModule) : m_hModule(hModule) {}
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;
    CLibrary(CLibrary&& other) noexcept : m_hModule(std::exchange(other.m_hModule, nullptr)) {}
    CLibrary& operator=(CLibrary&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_hModule, nullptr));
        return *this;
    }
    ~CLibrary() { Reset(); }

    HMODULE Get() const { return m_hModule; }

    // The export NAME as a pointer of type TProc, null when the library or the export is
    // missing.
    template <class TProc>
    TProc Find(const char* pszName) const
    {
        if (m_hModule == nullptr)
            return nullptr;
        return reinterpret_cast<TProc>(reinterpret_cast<void*>(GetProcAddress(m_hModule, pszName)));
    }

    void Reset(HMODULE hModule = nullptr)
    {
        if (m_hModule != nullptr)
            FreeLibrary(m_hModule);
        m_hModule = hModule;
    }

private:
    HMODULE m_hModule = nullptr;
};

// PSZ_FILE_NAME ("version.dll") in the system folder; empty when the folder is unknown.
std::string SystemLibraryPath(const char* pszFileName);

// The one way the programs load a library of the system. Where the system can restrict a
// load to its own folder, the name goes with that restriction, so that the side-by-side
// store still supplies the version the manifest asks for (the common controls' version 6
// lives there, not in the system folder). Elsewhere the full path in the system folder is
// asked for. An empty library when it cannot be loaded.
CLibrary LoadSystemLibrary(const char* pszFileName);

// Takes the program's folder and the current folder out of the library search, for the
// program's own loads and for those the system's libraries make on its behalf (the folder
// browser, the shell). The first thing each program does.
void RestrictLibrarySearch();
