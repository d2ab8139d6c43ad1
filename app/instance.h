// The module handles that the entry point receives, kept for the code that creates windows
// and dialogs from the program's own module.
#pragma once

#include <windows.h>

namespace app {

void StoreInstanceHandles(HINSTANCE instance, HINSTANCE previousInstance);
HINSTANCE Instance();
// Always null on 32-bit Windows and later; the window class is registered only when it is.
HINSTANCE PreviousInstance();

}  // namespace app
