// Resource ids of lumidrop.scr, shared by its template and its code.
#pragma once

#define IDD_SETTINGS 100
#define IDC_DROPS 1001
#define IDC_SPEED 1002
