// Resource and control ids, shared by sumwarden.rc and the dialog code. Plain #defines:
// windres reads this file too.
#pragma once

#define IDD_DRIVE 101
#define IDD_PROGRESS 102
#define IDI_SUMWARDEN 104
#define IDD_MENU 105

#define IDC_DRIVE_LIST 1011
#define IDC_PROMPT 1013  // drive dialog: the prompt; progress dialog: heading and path
#define IDC_PROGRESS_BAR 1014
#define IDC_TEXT 1015  // progress dialog: the count line; menu: the message text
#define IDC_STOP 1016
#define IDC_DISC_CHECK 1018
#define IDC_INSTALLED_CHECK 1019
