// The message table compiled in, for builds without a resource section.
#pragma once

// UTF-8 text of message nId, or null when the table has no such number.
const char* FindMessageText(unsigned nId);
