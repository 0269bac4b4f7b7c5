#include "sys/message_text.h"

#include "framework/exception.h"

#include <windows.h>

namespace {
// Frees the buffer FormatMessageA allocated for us.
class CLocalBuffer {
public:
    CLocalBuffer() = default;
    CLocalBuffer(const CLocalBuffer&) = delete;
    CLocalBuffer& operator=(const CLocalBuffer&) = delete;
    ~CLocalBuffer() { LocalFree(m_pszText); }
    char* m_pszText = nullptr;
};
} // namespace

void FormatThree(std::string& strOut, unsigned nId, const char* pszInsert1, const char* pszInsert2,
                 const char* pszInsert3)
{
    std::string strTemplate;
    LoadMessage(nId, strTemplate);
    const char* ppszInserts[] = {pszInsert1, pszInsert2, pszInsert3};
    CLocalBuffer buffer;
    const DWORD nLength = FormatMessageA(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
        strTemplate.c_str(), 0, 0, reinterpret_cast<LPSTR>(&buffer.m_pszText), 0,
        reinterpret_cast<va_list*>(const_cast<char**>(ppszInserts)));
    if (nLength == 0)
        throw new CMemoryException;
    strOut.assign(buffer.m_pszText, nLength);
}
