// Owns one shell item list and hands it back to the shell's allocator on destruction.
#pragma once

#include <windows.h>
#include <shlobj.h>

class CItemList {
public:
    CItemList() = default;
    explicit CItemList(LPITEMIDLIST pItems) : m_pItems(pItems) {}
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;
    ~CItemList() { Reset(); }

    LPITEMIDLIST Get() const { return m_pItems; }

    // Frees the list held, for a call that writes a new one into the returned place.
    LPITEMIDLIST* Receive()
    {
        Reset();
        return &m_pItems;
    }

    void Reset(LPITEMIDLIST pItems = nullptr)
    {
        if (m_pItems != nullptr) {
            IMalloc* pMalloc = nullptr;
            if (SUCCEEDED(SHGetMalloc(&pMalloc))) {
                pMalloc->Free(m_pItems);
                pMalloc->Release();
            }
        }
        m_pItems = pItems;
    }

private:
    LPITEMIDLIST m_pItems = nullptr;
};
