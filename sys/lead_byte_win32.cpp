#include "sys/message_text.h"

#include <windows.h>

bool IsSystemLeadByte(unsigned char ch)
{
    return IsDBCSLeadByte(ch) != FALSE;
}
