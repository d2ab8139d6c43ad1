// Creating a modeless dialog from one of the program's own dialog templates.
#pragma once

#include <windows.h>

// Creates the dialog from template `templateId` of the program file, owned by `owner` (may
// be null) and driven by `procedure`, which receives `object` with WM_INITDIALOG. The dialog
// is visible at once when its template says WS_VISIBLE. Null when it could not be created.
HWND CreateFromTemplate(int templateId, HWND owner, DLGPROC procedure, void* object);
