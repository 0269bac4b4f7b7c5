// Texts of the message table: loading by number, filling inserts, boxes by number.
#pragma once

#include <string>

// Fills strText with message nId (code page 1252 bytes); false when the table has none.
bool LoadMessage(unsigned nId, std::string& strText);

// Shows message nId in a box (an empty text when the table has none).
int MessageBoxByNumber(unsigned nId, unsigned nStyle);

// Fills message nId's one insert (%1) with pszInsert. Any other insert the template
// names comes out as "?". A number without text leaves strOut as it was.
void FormatOne(std::string& strOut, unsigned nId, const char* pszInsert);

using LeadBytePredicate = bool (*)(unsigned char);

// The engine under FormatOne: %1..%9 select inserts 0..8, %A..%Z inserts 9..34.
// A supplied insert is written in full (a null one as nothing), one beyond nInserts
// as "?". Any other '%' is an ordinary character. A double-byte lead byte is copied
// with its trail byte, so its trail is never read as '%'. The template is cut to 255
// bytes first.
std::string FillInserts(const std::string& strTemplate, const char* const* ppszInserts, unsigned nInserts,
                        LeadBytePredicate isLeadByte);

// The lead-byte test of the system's ANSI code page.
bool IsSystemLeadByte(unsigned char ch);

#ifdef _WIN32
// Fills message nId's %1, %2 and %3 through the system's message formatter; a failure
// of the formatter is thrown as the framework's CMemoryException.
void FormatThree(std::string& strOut, unsigned nId, const char* pszInsert1, const char* pszInsert2,
                 const char* pszInsert3);
#endif
