// The RunOnce value the finish step writes, as a test finds it afterwards.
#pragma once

#include "app/finish_actions.h"
#include "framework/reg_key.h"

#include <string>

// The value as the finish step left it, empty when there is none; removed again, so that
// the prefix stays as it was.
inline std::string TakeRunOnceValue()
{
    CRegKey key;
    std::string strValue;
    if (key.Open(HKEY_LOCAL_MACHINE, kRunOnceKey, KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS)
        return strValue;
    if (key.QueryString(kRunOnceValue, strValue, MAX_PATH))
        key.DeleteValue(kRunOnceValue);
    return strValue;
}
