// Tells which standard icon a message box shows. An icon handle belongs to the process that
// loaded it, so the program's handle cannot be compared with the driver's own LoadIconA
// handles; instead the icon's pixels on the screen are compared with the driver's own
// drawing of each standard icon, on the pixels that every icon draws opaquely.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// `name` is "error", "information", "question", "warning" or "none"; `detail` tells how well
// each candidate matched, or why no answer could be found.
bool IdentifyBoxIcon(HWND box, std::string* name, std::string* detail);

}  // namespace e2e
