#include "res/message_data.h"

namespace {
struct MessageEntry {
    unsigned nId;
    const char* pszText;
};

constexpr MessageEntry kMessages[] = {
#define LUMIDROP_MESSAGE(id, text) {id, text},
#include "res/message_table.inc"
#undef LUMIDROP_MESSAGE
};
} // namespace

const char* FindMessageText(unsigned nId)
{
    for (const MessageEntry& entry : kMessages)
        if (entry.nId == nId)
            return entry.pszText;
    return nullptr;
}
