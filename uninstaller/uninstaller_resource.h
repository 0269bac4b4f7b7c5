// Resource numbers of the uninstaller. Its texts sit above the setup's message table
// (5 to 228), in string blocks of their own, so that both tables can live in one program.
#pragma once

#define IDS_UNINSTALL_CONFIRM 301
#define IDS_UNINSTALL_LOG_MISSING 302
#define IDS_UNINSTALL_LOG_DAMAGED 303
#define IDS_UNINSTALL_SHARED_UNUSED 304
#define IDS_UNINSTALL_DONE 305
#define IDS_UNINSTALL_DONE_AT_RESTART 306
#define IDS_UNINSTALL_LEFT_OVER 307
#define IDS_UNINSTALL_USAGE 308

#define IDI_UNINSTALLER 1
