// A static-text control of a dialog, as a window object.
#pragma once

#include "framework/wnd.h"

class CStatic : public CWnd {
};
