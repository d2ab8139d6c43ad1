// Resource and control ids, shared by sumwarden.rc and the dialog code. Plain #defines:
// windres reads this file too. Each control has a name of its own, even where two dialogs
// give theirs the same number.
#pragma once

#define IDD_DRIVE 101
#define IDD_PROGRESS 102
#define IDI_SUMWARDEN 104
#define IDD_MENU 105

// Drive selection dialog (OK is IDOK).
#define IDC_DRIVE_LIST 1011
#define IDC_DRIVE_PROMPT 1013

// Progress dialog.
#define IDC_PROGRESS_STATUS 1013  // the heading and the path of the file being verified
#define IDC_PROGRESS_BAR 1014
#define IDC_PROGRESS_COUNT 1015
#define IDC_STOP 1016

// Menu dialog.
#define IDC_MENU_TEXT 1015
#define IDC_CD_CHECK 1018
#define IDC_INSTALLED_CHECK 1019
