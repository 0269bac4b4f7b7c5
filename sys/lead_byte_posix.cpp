#include "sys/message_text.h"

// The native build speaks code page 1252, which has no double-byte characters.
bool IsSystemLeadByte(unsigned char)
{
    return false;
}
