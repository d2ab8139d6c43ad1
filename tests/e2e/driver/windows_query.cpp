#include "windows_query.h"

#include <commctrl.h>

#include <cstdio>

#include "tests/program_interface.h"
#include "text.h"

namespace e2e {
namespace {

constexpr UINT kQueryTimeoutMs = 3000;

struct Search {
    DWORD processId;
    bool includeHidden;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (search->includeHidden || IsWindowVisible(window))) {
        search->found->push_back(window);
    }
    return TRUE;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool Query(HWND control, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutA(control, message, wParam, lParam, SMTO_ABORTIFHUNG, kQueryTimeoutMs,
                               result) != 0;
}

BOOL CALLBACK DescribeChild(HWND child, LPARAM parameter) {
    std::string* out = reinterpret_cast<std::string*>(parameter);
    char line[128];
    int id = GetDlgCtrlID(child);
    std::string className = ClassOf(child);
    std::snprintf(line, sizeof line, "\n      %s %d%s: ", className.c_str(), id,
                  IsWindowVisible(child) ? "" : " (hidden)");
    *out += line;
    *out += Quote(Cp932ToUtf8(CaptionOf(child)));
    if (className == "ComboBox") {
        std::vector<std::string> entries;
        int selected = -1;
        if (ComboEntries(GetParent(child), id, &entries) &&
            ComboSelection(GetParent(child), id, &selected)) {
            *out += " entries";
            for (const std::string& entry : entries) {
                *out += " " + Quote(Cp932ToUtf8(entry));
            }
            *out += " selected " + std::to_string(selected);
        }
    } else if (className == "msctls_progress32") {
        int position = 0;
        if (BarPosition(GetParent(child), id, &position)) {
            *out += " position " + std::to_string(position);
        }
    }
    return TRUE;
}

}  // namespace

bool ParseKind(const std::string& name, Kind* kind) {
    static const struct {
        const char* name;
        Kind kind;
    } kKinds[] = {{"main", Kind::kMain},
                  {"menu", Kind::kMenu},
                  {"drive", Kind::kDrive},
                  {"progress", Kind::kProgress},
                  {"box", Kind::kBox}};
    for (const auto& entry : kKinds) {
        if (name == entry.name) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::kMain:
            return "main";
        case Kind::kMenu:
            return "menu";
        case Kind::kDrive:
            return "drive";
        case Kind::kProgress:
            return "progress";
        case Kind::kBox:
            return "box";
        case Kind::kOther:
            break;
    }
    return "other";
}

std::vector<HWND> WindowsOf(DWORD processId, bool includeHidden) {
    std::vector<HWND> found;
    Search search = {processId, includeHidden, &found};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

Kind Classify(HWND window) {
    std::string className = ClassOf(window);
    if (className == program::kMainWindowClass) {
        return Kind::kMain;
    }
    if (className != "#32770") {
        return Kind::kOther;
    }
    // Order matters: the drive dialog's label static has id -1, which is 0xFFFF as a control
    // id, the same as a message box's text.
    if (GetDlgItem(window, program::control::CD_CHECK) != nullptr) {
        return Kind::kMenu;
    }
    if (GetDlgItem(window, program::control::DRIVE_LIST) != nullptr) {
        return Kind::kDrive;
    }
    if (GetDlgItem(window, program::control::STOP) != nullptr) {
        return Kind::kProgress;
    }
    if (GetDlgItem(window, kBoxText) != nullptr) {
        return Kind::kBox;
    }
    return Kind::kOther;
}

std::string CaptionOf(HWND window) {
    char text[4096] = {};
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? CaptionOf(control) : std::string();
}

bool ComboEntries(HWND dialog, int id, std::vector<std::string>* entries) {
    HWND combo = GetDlgItem(dialog, id);
    DWORD_PTR count = 0;
    if (combo == nullptr || !Query(combo, CB_GETCOUNT, 0, 0, &count)) {
        return false;
    }
    entries->clear();
    for (DWORD_PTR i = 0; i < count; ++i) {
        // Wide: under Wine the ANSI form of CB_GETLBTEXT hands another process the entry in
        // UTF-16. The entry went in as Shift-JIS, so converting it back gives the same bytes.
        wchar_t entry[1024] = {};
        DWORD_PTR length = 0;
        if (!Query(combo, CB_GETLBTEXTLEN, i, 0, &length) || length >= 1024 ||
            !SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry),
                                 SMTO_ABORTIFHUNG, kQueryTimeoutMs, &length)) {
            return false;
        }
        entries->push_back(WideToCp932(entry));
    }
    return true;
}

bool ComboSelection(HWND dialog, int id, int* index) {
    HWND combo = GetDlgItem(dialog, id);
    DWORD_PTR selected = 0;
    if (combo == nullptr || !Query(combo, CB_GETCURSEL, 0, 0, &selected)) {
        return false;
    }
    *index = static_cast<int>(static_cast<LONG_PTR>(selected));
    return true;
}

bool BarPosition(HWND dialog, int id, int* position) {
    HWND bar = GetDlgItem(dialog, id);
    DWORD_PTR value = 0;
    if (bar == nullptr || !Query(bar, PBM_GETPOS, 0, 0, &value)) {
        return false;
    }
    *position = static_cast<int>(value);
    return true;
}

std::string Describe(HWND window) {
    std::string out = std::string("[") + KindName(Classify(window)) + "] caption " +
                      Quote(Cp932ToUtf8(CaptionOf(window)));
    if (!IsWindowVisible(window)) {
        out += " (hidden)";
    }
    EnumChildWindows(window, DescribeChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

}  // namespace e2e
