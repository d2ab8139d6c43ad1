#include "icon_check.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "screenshot.h"

namespace e2e {
namespace {

constexpr int kTolerance = 12;       // per colour channel
constexpr double kGoodMatch = 0.90;  // share of opaque pixels that must agree
constexpr DWORD kSettleMs = 2000;    // time for the box to be painted

struct Candidate {
    const char* name;
    LPCSTR id;
};
const Candidate kCandidates[] = {{"error", IDI_ERROR},
                                 {"information", IDI_INFORMATION},
                                 {"question", IDI_QUESTION},
                                 {"warning", IDI_WARNING}};

struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// Draws `icon` at the given size over a plain background colour.
bool Render(HICON icon, int width, int height, COLORREF background, Pixels* pixels) {
    return DrawPixels(
        width, height,
        [&](HDC memory) {
            std::unique_ptr<void, ObjectDeleter> brush(CreateSolidBrush(background));
            RECT all = {0, 0, width, height};
            FillRect(memory, &all, static_cast<HBRUSH>(brush.get()));
            DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
            return true;
        },
        pixels);
}

bool Close(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int x = static_cast<int>((a >> shift) & 0xFF);
        int y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > kTolerance)
            return false;
    }
    return true;
}

// Share of the icon's opaque pixels (the same drawn over black and over white) that the
// screen shows in the same colour.
double Score(HICON icon, const Pixels& screen) {
    Pixels overBlack;
    Pixels overWhite;
    if (!Render(icon, screen.width, screen.height, RGB(0, 0, 0), &overBlack) ||
        !Render(icon, screen.width, screen.height, RGB(255, 255, 255), &overWhite)) {
        return 0.0;
    }
    int opaque = 0;
    int same = 0;
    for (size_t i = 0; i < screen.data.size(); ++i) {
        if (overBlack.data[i] != overWhite.data[i])
            continue;
        ++opaque;
        if (Close(overBlack.data[i], screen.data[i]))
            ++same;
    }
    return opaque == 0 ? 0.0 : static_cast<double>(same) / opaque;
}

HWND FindIconControl(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (lstrcmpiA(name, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

bool IdentifyBoxIcon(HWND box, std::string* name, std::string* detail) {
    HWND control = FindIconControl(box);
    RECT area = {};
    if (control == nullptr || !IsWindowVisible(control) || !GetClientRect(control, &area) ||
        area.right == 0 || area.bottom == 0) {
        *name = "none";
        *detail = "no visible icon control";
        return true;
    }
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    OffsetRect(&area, origin.x, origin.y);
    // Nothing may hide the icon while it is looked at: the menu dialog, for one, stays on top.
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DWORD start = GetTickCount();
    std::string best;
    double bestScore = 0.0;
    char line[256];
    do {
        Pixels screen;
        if (!CaptureScreen(area, &screen)) {
            *detail = "cannot copy the screen";
            return false;
        }
        best.clear();
        bestScore = 0.0;
        detail->clear();
        for (const Candidate& candidate : kCandidates) {
            double score = Score(LoadIconA(nullptr, candidate.id), screen);
            std::snprintf(line, sizeof line, "%s%s %.2f", detail->empty() ? "" : ", ",
                          candidate.name, score);
            *detail += line;
            if (score > bestScore) {
                bestScore = score;
                best = candidate.name;
            }
        }
        if (bestScore >= kGoodMatch)
            break;
        Sleep(50);
    } while (GetTickCount() - start < kSettleMs);
    SetWindowPos(box, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (bestScore < kGoodMatch) {
        *detail = "no standard icon matches the pixels shown (" + *detail + ")";
        return false;
    }
    *name = best;
    return true;
}

}  // namespace e2e
