// Control texts from the message table.
#pragma once

class CWnd;

// Sets control nId of window to message nMessage; a number without text leaves the
// control's text as it was.
void SetItemMessage(const CWnd& window, int nId, unsigned nMessage);
