#include "dialogs/common_controls.h"

#include <windows.h>

#include <commctrl.h>

bool InitCommonControlsOnce() {
    static bool initialised = false;
    if (!initialised) {
        INITCOMMONCONTROLSEX classes{};
        classes.dwSize = sizeof(classes);
        classes.dwICC = ICC_PROGRESS_CLASS;
        initialised = InitCommonControlsEx(&classes) != FALSE;
    }
    return initialised;
}
