// Behaviour of the three dialogs with real windows, run as a Windows console program (under
// wine64 on the build machine, as a CTest test of the win64 build). Each case creates a dialog from
// the program's own templates, acts on it the way a click or the close box does, drains the queue
// as the engine does, and looks at the fields the engine polls.
//
//   sumwarden_dialog_tests.exe [CD-ROM letters, e.g. EG]
//
// The letters are the drives the environment has set up as CD-ROM drives; without them the
// drive list is compared with what GetDriveTypeA reports.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "dialogs/drive_dialog.h"
#include "dialogs/menu_dialog.h"
#include "dialogs/progress_dialog.h"
#include "tests/program_interface.h"
#include "tests/win/checks.h"

namespace {

namespace control = program::control;
using wintest::Check;

// Texts the dialogs show before the engine sets its own, as the user must see them.
constexpr char kDefaultPrompt[] = "検索するドライブを指定してください。";
constexpr char kDefaultDrive[] = "D:\\";
constexpr char kWorkingHeading[] = "処理中････";

void CheckText(const std::string& got, const std::string& want, const std::string& what,
               const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    Check(got == want, what + ": got \"" + got + "\", expected \"" + want + "\"", {}, file, line);
}

// Drains the queue like the engine's pump until `finished` holds or the time has passed.
bool PumpUntil(const std::function<bool()>& finished, DWORD timeoutMs = 1000) {
    const DWORD start = GetTickCount();
    while (!finished()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

void Pump() {
    PumpUntil([] { return false; });
}

std::string ItemText(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::string Caption(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// What a click on a button or the close box sends.
void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
void CloseBox(HWND dialog) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// A real click of the left mouse button on the middle of a window, through the system's
// input queue, as the user's mouse gives it.
void MouseClick(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

CheckList TitledList(const char* title) {
    CheckList list;
    list.title = title;
    return list;
}

void TestMenu(HWND owner) {
    struct Case {
        const char* what;
        std::function<void(HWND)> act;
        std::uint8_t cancelled;
        std::int32_t choice;
    };
    const std::vector<Case> cases = {
        {"CD/DVD button", [](HWND d) { Click(d, control::CD_CHECK); }, 0, MenuDialog::kDiscCheck},
        {"file button", [](HWND d) { Click(d, control::INSTALLED_CHECK); }, 0,
         MenuDialog::kInstalledCheck},
        {"close box", CloseBox, 1, MenuDialog::kDiscCheck},
    };
    for (const Case& c : cases) {
        const std::string what = std::string("menu, ") + c.what;
        MenuDialog menu;
        Check(menu.Create(owner), what + ": created");
        Check(GetWindow(menu.window, GW_OWNER) == owner, what + ": owned by the main window");
        menu.SetText("一行目\n二行目\n");
        menu.SetTitle("タイトル");
        CheckText(ItemText(menu.window, control::MENU_TEXT), "一行目\n二行目\n", what + ": text");
        CheckText(Caption(menu.window), "タイトル", what + ": caption");
        Pump();
        Check(menu.done == 0, what + ": not done while shown");

        c.act(menu.window);
        Check(PumpUntil([&] { return menu.done != 0; }), what + ": done");
        Check(menu.cancelled == c.cancelled, what + ": cancelled");
        Check(menu.choice == c.choice, what + ": choice");
        Check(!IsWindow(menu.window), what + ": window destroyed");
    }

    MenuDialog empty;
    empty.Create(owner);
    empty.SetText(std::string());
    empty.SetTitle(std::string());
    CheckText(ItemText(empty.window, control::MENU_TEXT), "", "menu: no message lines, empty text");
    CheckText(Caption(empty.window), "", "menu: no title, empty caption");
    DestroyWindow(empty.window);
}

// The flow may give up (WM_QUIT) with the menu still up and discard the object; the window
// goes later with its owner. Its WM_DESTROY must not write into the discarded object.
void TestMenuOutlivedByWindow() {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    alignas(MenuDialog) unsigned char storage[sizeof(MenuDialog)];
    MenuDialog* menu = new (storage) MenuDialog;
    menu->Create(owner);
    HWND window = menu->window;
    menu->~MenuDialog();
    std::memset(storage, 0xA5, sizeof(storage));
    DestroyWindow(owner);  // destroys the owned menu as well
    Check(!IsWindow(window), "menu outlived: window gone with its owner");
    bool untouched = true;
    for (unsigned char byte : storage) {
        untouched = untouched && byte == 0xA5;
    }
    Check(untouched, "menu outlived: nothing written into the discarded object");
}

std::vector<std::string> ListEntries(HWND dialog) {
    std::vector<std::string> entries;
    HWND list = GetDlgItem(dialog, control::DRIVE_LIST);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = "";
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::string Joined(const std::vector<std::string>& entries) {
    std::string joined;
    for (const std::string& entry : entries) {
        joined += entry + " ";
    }
    return joined;
}

void TestDrive(const std::vector<std::string>& cdroms) {
    const CheckList list = TitledList("タイトル");
    {
        DriveDialog dialog;
        Check(dialog.Create(nullptr, &list), "drive: created");
        Check(GetWindow(dialog.window, GW_OWNER) == nullptr, "drive: no owner");
        CheckText(ItemText(dialog.window, control::DRIVE_PROMPT), kDefaultPrompt,
                  "drive: initial prompt");
        CheckText(Caption(dialog.window), "タイトル", "drive: caption");
        CheckText(Joined(ListEntries(dialog.window)), Joined(cdroms),
                  "drive: CD-ROM drives A: to Y: in letter order");
        const LRESULT selection =
            SendDlgItemMessageA(dialog.window, control::DRIVE_LIST, CB_GETCURSEL, 0, 0);
        Check(cdroms.empty() ? selection == CB_ERR : selection == 0,
              "drive: first entry preselected");
        dialog.SetText("ディスク1を入れてください");
        CheckText(ItemText(dialog.window, control::DRIVE_PROMPT), "ディスク1を入れてください",
                  "drive: prompt from the check list");
        dialog.SetText(std::string());
        CheckText(ItemText(dialog.window, control::DRIVE_PROMPT), "",
                  "drive: empty prompt stays empty");

        // The user opens the list with the mouse and closes it again: the dialog stays.
        HWND combo = GetDlgItem(dialog.window, control::DRIVE_LIST);
        auto dropped = [combo] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
        // Input goes through Wine's server and the X server: give it time on a busy machine.
        MouseClick(combo);
        Check(PumpUntil(dropped, 5000), "drive: a click opens the list");
        MouseClick(combo);
        Check(PumpUntil([&] { return !dropped(); }, 5000), "drive: a second click closes it");
        Check(IsWindow(dialog.window) && dialog.done == 0 && dialog.cancelled == 0,
              "drive: opening and closing the list leaves the dialog up");

        Click(dialog.window, control::DRIVE_OK);
        Check(PumpUntil([&] { return dialog.done != 0; }), "drive OK: done");
        Check(dialog.cancelled == 0, "drive OK: not cancelled");
        // With no CD-ROM drive the list is empty and the default stays.
        CheckText(dialog.drive, cdroms.empty() ? kDefaultDrive : cdroms[0],
                  "drive OK: first drive chosen");
        Check(!IsWindow(dialog.window), "drive OK: window destroyed");
    }
    if (cdroms.size() >= 2) {
        DriveDialog dialog;
        dialog.Create(nullptr, &list);
        SendDlgItemMessageA(dialog.window, control::DRIVE_LIST, CB_SETCURSEL, 1, 0);
        Click(dialog.window, control::DRIVE_OK);
        PumpUntil([&] { return dialog.done != 0; });
        CheckText(dialog.drive, cdroms[1], "drive OK: second entry chosen");
    }
    {
        DriveDialog dialog;
        const CheckList untitled;
        dialog.Create(nullptr, &untitled);
        CheckText(Caption(dialog.window), "", "drive: no title, empty caption");
        CloseBox(dialog.window);
        Check(PumpUntil([&] { return dialog.done != 0; }), "drive close box: done");
        Check(dialog.cancelled == 1, "drive close box: cancelled");
        CheckText(dialog.drive, kDefaultDrive, "drive close box: drive unchanged");
        Check(!IsWindow(dialog.window), "drive close box: window destroyed");
    }
    DriveDialog after;
    Check(after.window == nullptr && after.done == 0 && after.cancelled == 0,
          "drive: a new dialog starts clear");
}

int BarPosition(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, control::PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

void TestProgressUpdates() {
    const CheckList list = TitledList("タイトル");
    ProgressDialog progress;
    Check(progress.Create(nullptr, &list), "progress: created");
    Check(progress.window != nullptr, "progress: window exists (bar class registered)");
    CheckText(ItemText(progress.window, control::PROGRESS_STATUS), kWorkingHeading,
              "progress: heading");
    CheckText(Caption(progress.window), "タイトル", "progress: caption");
    Check(GetWindow(progress.window, GW_OWNER) == nullptr, "progress: no owner");

    progress.SetFileName("E:\\DATA\\表.DAT");
    CheckText(ItemText(progress.window, control::PROGRESS_STATUS), "処理中････\nE:\\DATA\\表.DAT",
              "progress: heading and path");
    progress.SetCount(3, 10);
    CheckText(ItemText(progress.window, control::PROGRESS_COUNT), "のこり(3/10)ファイル",
              "progress: running number, not files left");
    progress.SetCount(-2147483647 - 1, 2147483647);
    CheckText(ItemText(progress.window, control::PROGRESS_COUNT),
              "のこり(-2147483648/2147483647)ファイル", "progress: extreme counts fit");
    Check(BarPosition(progress.window) == 0, "progress: bar starts at 0");
    HWND bar = GetDlgItem(progress.window, control::PROGRESS_BAR);
    Check(SendMessageA(bar, PBM_GETRANGE, TRUE, 0) == 0 &&
              SendMessageA(bar, PBM_GETRANGE, FALSE, 0) == 100,
          "progress: the bar's range is 0 to 100");
    progress.SetPosition(40);
    Check(BarPosition(progress.window) == 40, "progress: bar at 40");
    progress.SetFileName("E:\\NEXT.DAT");
    Check(BarPosition(progress.window) == 40, "progress: bar kept between files");
    progress.SetPosition(100);
    Check(BarPosition(progress.window) == 100, "progress: bar at 100");
    Pump();
    Check(progress.stopRequested == 0, "progress: no stop while shown");

    HWND window = progress.window;
    progress.Finish();
    Check(!IsWindow(window), "progress Finish: closes an open dialog");
    Check(progress.window == nullptr, "progress Finish: window forgotten");
    Check(progress.stopRequested == 1, "progress Finish: counts as closed");
    progress.SetFileName("E:\\AFTER.DAT");
    progress.SetCount(1, 1);
    progress.SetPosition(50);
    progress.Finish();
    Check(progress.window == nullptr, "progress: updates and Finish after the end are harmless");
}

void TestProgressStops() {
    struct Case {
        const char* what;
        std::function<void(ProgressDialog&)> stop;
    };
    const std::vector<Case> cases = {
        {"Stop button", [](ProgressDialog& p) { Click(p.window, control::STOP); }},
        {"close box", [](ProgressDialog& p) { CloseBox(p.window); }},
        {"Close", [](ProgressDialog& p) { p.Close(p.window); }},
    };
    for (const Case& c : cases) {
        const std::string what = std::string("progress, ") + c.what;
        const CheckList untitled;
        ProgressDialog progress;
        progress.Create(nullptr, &untitled);
        CheckText(Caption(progress.window), "", what + ": no title, empty caption");
        HWND window = progress.window;
        c.stop(progress);
        Check(PumpUntil([&] { return progress.stopRequested != 0; }), what + ": stop seen");
        Check(!IsWindow(window), what + ": window destroyed at once");
        Check(progress.window == window, what + ": handle kept until Finish");

        // The stale handle must not be used again: Windows may hand its value to a new
        // window. Any call with it would leave ERROR_INVALID_WINDOW_HANDLE behind.
        SetLastError(ERROR_SUCCESS);
        progress.SetFileName("E:\\LATE.DAT");
        progress.SetCount(2, 2);
        progress.SetPosition(70);
        progress.Finish();
        Check(GetLastError() != ERROR_INVALID_WINDOW_HANDLE,
              what + ": late updates and Finish leave the old handle alone");
        Check(progress.window == nullptr, what + ": Finish forgets the window");
    }
}

// A progress object discarded without Finish (a way out the engine missed) closes its window.
void TestProgressDiscarded() {
    HWND window = nullptr;
    {
        ProgressDialog progress;
        progress.Create(nullptr, nullptr);
        window = progress.window;
        Check(IsWindow(window), "progress discarded: window up");
    }
    Check(!IsWindow(window), "progress discarded: window closed with the object");
}

enum class Which { Menu, Drive, Progress };

// One of the three dialogs, up, with the fields that the engine polls read as one line.
class AnyDialog {
  public:
    AnyDialog(Which which, const CheckList* list) : which_(which) {
        if (which == Which::Menu) {
            menu_.Create(nullptr);
            window = menu_.window;
        } else if (which == Which::Drive) {
            drive_.Create(nullptr, list);
            window = drive_.window;
        } else {
            progress_.Create(nullptr, list);
            window = progress_.window;
        }
    }
    AnyDialog(const AnyDialog&) = delete;
    AnyDialog& operator=(const AnyDialog&) = delete;
    ~AnyDialog() {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
        progress_.Finish();
    }
    std::string State() const {
        std::string state = IsWindow(window) ? "up" : "gone";
        if (which_ == Which::Menu) {
            return state + " done " + std::to_string(menu_.done) + " cancelled " +
                   std::to_string(menu_.cancelled) + " choice " + std::to_string(menu_.choice);
        }
        if (which_ == Which::Drive) {
            return state + " done " + std::to_string(drive_.done) + " cancelled " +
                   std::to_string(drive_.cancelled) + " drive " + drive_.drive;
        }
        return state + " stop " + std::to_string(progress_.stopRequested);
    }
    HWND window = nullptr;

  private:
    Which which_;
    MenuDialog menu_;
    DriveDialog drive_;
    ProgressDialog progress_;
};

// What each control's notifications do. Every control of each dialog, and the ids that a
// keyboard would send (IDOK, IDCANCEL), with every notification code a button, a combo box or
// a static sends (0 to 10): one control ends each dialog, whatever the code, and nothing
// else does. Opening the drive list sends CBN_DROPDOWN, so a dialog that ended on any
// command would end when the user opens the list.
void TestNotifications(const std::string& firstDrive) {
    const std::string menuUp = "up done 0 cancelled 0 choice 0";
    const std::string driveUp = std::string("up done 0 cancelled 0 drive ") + kDefaultDrive;
    const std::string progressUp = "up stop 0";
    struct Case {
        Which dialog;
        int id;
        std::string after;
    };
    const Case cases[] = {
        {Which::Menu, control::CD_CHECK, "gone done 1 cancelled 0 choice 0"},
        {Which::Menu, control::INSTALLED_CHECK, "gone done 1 cancelled 0 choice 2"},
        {Which::Menu, control::MENU_TEXT, menuUp},
        {Which::Menu, IDOK, menuUp},
        {Which::Menu, IDCANCEL, menuUp},
        {Which::Drive, control::DRIVE_OK, "gone done 1 cancelled 0 drive " + firstDrive},
        {Which::Drive, control::DRIVE_LIST, driveUp},
        {Which::Drive, control::DRIVE_PROMPT, driveUp},
        {Which::Drive, control::DRIVE_LABEL, driveUp},
        {Which::Drive, IDCANCEL, driveUp},
        {Which::Progress, control::STOP, "gone stop 1"},
        {Which::Progress, control::PROGRESS_BAR, progressUp},
        {Which::Progress, control::PROGRESS_STATUS, progressUp},
        {Which::Progress, control::PROGRESS_COUNT, progressUp},
        {Which::Progress, IDOK, progressUp},
        {Which::Progress, IDCANCEL, progressUp},
    };
    const CheckList list;
    for (const Case& c : cases) {
        // A control that ends nothing gets every code in turn; one that ends its dialog gets
        // each code in a dialog of its own.
        std::unique_ptr<AnyDialog> dialog;
        for (WORD code = 0; code <= 10; ++code) {
            if (dialog == nullptr || !IsWindow(dialog->window)) {
                dialog = std::make_unique<AnyDialog>(c.dialog, &list);
            }
            // As a control notifies its dialog: sent, with the control's handle.
            SendMessageA(dialog->window, WM_COMMAND, MAKEWPARAM(c.id, code),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog->window, c.id)));
            CheckText(
                dialog->State(), c.after,
                "notification " + std::to_string(code) + " of control " + std::to_string(c.id));
        }
    }
}

std::vector<std::string> ExpectedCdroms(int argc, char** argv) {
    std::vector<std::string> roots;
    for (char letter = 'A'; letter <= 'Y'; ++letter) {
        char root[] = {letter, ':', '\\', '\0'};
        const bool named = argc > 1 && std::strchr(argv[1], letter) != nullptr;
        if (argc > 1 ? named : GetDriveTypeA(root) == DRIVE_CDROM) {
            roots.push_back(root);
        }
    }
    return roots;
}

}  // namespace

int main(int argc, char** argv) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    TestMenu(owner);
    TestMenuOutlivedByWindow();
    const std::vector<std::string> cdroms = ExpectedCdroms(argc, argv);
    // Z: is never offered. Where the environment makes it a CD-ROM drive, it must be one, or
    // its absence from the list would prove nothing.
    if (argc > 1 && std::strchr(argv[1], 'Z') != nullptr) {
        Check(GetDriveTypeA("Z:\\") == DRIVE_CDROM, "drive: Z: is a CD-ROM drive here");
    }
    TestDrive(cdroms);
    TestNotifications(cdroms.empty() ? kDefaultDrive : cdroms[0]);
    TestProgressUpdates();
    TestProgressStops();
    TestProgressDiscarded();
    DestroyWindow(owner);
    return wintest::Report("dialog checks");
}
