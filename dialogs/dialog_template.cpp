#include "dialogs/dialog_template.h"

HWND CreateFromTemplate(int templateId, HWND owner, DLGPROC procedure, void* object) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                              procedure, reinterpret_cast<LPARAM>(object));
}
