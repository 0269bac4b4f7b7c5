// The one door every message box of the program passes through.
//
// The real box is modal to the dialog it is asked from or the program's main window
// (GetModalOwner) and captioned with the program file's name; a box that names no icon
// gets the exclamation icon when it asks with OK, OK/Cancel, Yes/No or Yes/No/Cancel.
// Tests put an answerer in front of the real box and see every (text, style) the
// program would have shown.
#pragma once

#include "framework/box_styles.h"

#include <functional>
#include <string>

using MessageBoxAnswerer = std::function<int(const std::string& strText, unsigned nStyle)>;

// Shows strText with nStyle (after the icon rule) and returns the button pressed.
int ShowMessageBox(const std::string& strText, unsigned nStyle);

// Loads string nId and shows it; a number without text shows an empty text.
int ShowMessageBoxById(unsigned nId, unsigned nStyle);

// The style actually shown: nStyle with the exclamation icon added where the rule says so.
unsigned ApplyDefaultIcon(unsigned nStyle);

// Installs an answerer in place of the real box (an empty one restores the real box)
// and returns the one it replaces.
MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// The real box; one implementation per platform.
int ShowSystemMessageBox(const std::string& strText, unsigned nStyle);
