// Message boxes and the message pump of the Windows program.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

int ShowMessage(Window owner, const char* text, const char* caption, unsigned style) {
    return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

int PumpMessages() {
    MSG message;
    // Never waits: PeekMessageA only looks, so an empty queue returns at once. No dialog
    // routing (IsDialogMessageA) is done; the dialogs are worked with the mouse.
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT: whatever is queued behind it stays there.
            return 0;
        }
        if (got == -1) {
            // No message was taken; dispatching the stale structure would be wrong, and
            // peeking again would spin on the same failure.
            return 1;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}

}  // namespace platform
