// Tests of the application shell and the registry access, run as a Windows console
// program (under wine64 on the build machine): they need real windows, GDI and a registry.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/checker.h"
#include "app/instance.h"
#include "app/main_window.h"
#include "app/surface.h"
#include "dialogs/menu_dialog.h"
#include "engine/registry.h"
#include "tests/program_interface.h"
#include "tests/win/checks.h"
#include "tests/win/scratch_key.h"

namespace {

using wintest::Check;

// The main window's title, which the exit question starts with and shows as its caption.
constexpr char kProgramName[] = "Sumwarden";

void TestReadInstalledPath() {
    wintest::ScratchKey scratch("SumwardenAppTests");
    const std::string longest(511, 'p');
    const std::string tooLong(512, 'p');
    const std::string unterminatedFull(512, 'q');
    struct Case {
        const char* name;
        DWORD type;
        std::string data;  // stored as is: a zero must be part of it to be stored
        bool stored;
        bool expectRead;
        std::string expectPath;
    };
    const std::vector<Case> cases = {
        {"plain", REG_SZ, std::string("C:\\Game\\a.dat") + '\0', true, true, "C:\\Game\\a.dat"},
        {"longest", REG_SZ, longest + '\0', true, true, longest},
        {"too long", REG_SZ, tooLong + '\0', true, false, ""},
        // Without a stored zero the path ends with the data, not in the buffer's filler.
        {"unterminated", REG_BINARY, "C:\\x.dat", true, true, "C:\\x.dat"},
        {"unterminated full", REG_BINARY, unterminatedFull, true, true, unterminatedFull},
        {"embedded zero", REG_BINARY, std::string("C:\\a\0tail", 9), true, true, "C:\\a"},
        {"empty", REG_SZ, std::string(1, '\0'), true, true, ""},
        {"missing", REG_SZ, "", false, false, ""},
    };
    for (const Case& c : cases) {
        if (c.stored) {
            scratch.Set(c.name, c.type, c.data);
        }
    }
    for (const Case& c : cases) {
        FileEntry entry;
        entry.name = c.name;
        std::string buffer(512, '0');
        const bool read = ReadInstalledPath(entry, scratch.Path(), buffer);
        Check(read == c.expectRead, "ReadInstalledPath result", c.name);
        Check(buffer.size() == 512, "path buffer keeps its size", c.name);
        if (read && c.expectRead) {
            Check(std::string(buffer.c_str()) == c.expectPath, "path read", c.name);
        }
    }

    FileEntry entry;
    entry.name = "plain";
    std::string buffer(512, '0');
    Check(!ReadInstalledPath(entry, scratch.Path() + "\\absent", buffer),
          "a missing key is not read");

    Check(IsGameInstalled(scratch.Path()), "existing key is installed");
    Check(!IsGameInstalled(scratch.Path() + "\\absent"), "missing key is not installed");
    Check(IsGameInstalled(""), "an empty key names HKEY_CURRENT_USER itself");
}

// Answers the next message box of this process from a second thread, as a user would, and
// keeps what it showed.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(int answer) : answer_(answer) {
        thread_ = CreateThread(nullptr, 0, &BoxAnswerer::Run, this, 0, nullptr);
    }
    ~BoxAnswerer() {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    std::string text;
    std::string caption;
    HWND owner = nullptr;

  private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM param) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char name[16] = {};
        GetClassNameA(window, name, sizeof(name));
        if (process == GetCurrentProcessId() && std::string(name) == "#32770" &&
            GetDlgItem(window, 0xFFFF) != nullptr) {
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        }
        return TRUE;
    }
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<BoxAnswerer*>(param);
        HWND box = nullptr;
        for (int waited = 0; box == nullptr && waited < 10000; waited += 20) {
            Sleep(20);
            EnumWindows(&BoxAnswerer::FindBox, reinterpret_cast<LPARAM>(&box));
        }
        if (box == nullptr) {
            return 1;
        }
        char buffer[512] = {};
        GetWindowTextA(GetDlgItem(box, 0xFFFF), buffer, sizeof(buffer));
        self->text = buffer;
        GetWindowTextA(box, buffer, sizeof(buffer));
        self->caption = buffer;
        self->owner = GetWindow(box, GW_OWNER);
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(self->answer_), 0);
        return 0;
    }
    int answer_;
    HANDLE thread_ = nullptr;
};

void TestAskOkCancel() {
    CheckList checkList;
    checkList.title = "Title";
    struct Case {
        int answer;
        bool expected;
    };
    for (const Case& c : {Case{IDOK, true}, Case{IDCANCEL, false}}) {
        bool result = false;
        BoxAnswerer answerer(c.answer);
        result = Checker::AskOkCancel("Question", checkList, nullptr);
        Check(result == c.expected, "AskOkCancel answer", std::to_string(c.answer));
        Check(answerer.text == "Question" && answerer.caption == "Title",
              "AskOkCancel text and caption", answerer.text + "|" + answerer.caption);
    }
}

// The real pump, on messages posted to a window of the test's own: what it dispatches, what
// it returns and what it leaves in the queue.
std::vector<int> dispatchedNumbers;

LRESULT CALLBACK NotingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && message < WM_APP + 100) {
        dispatchedNumbers.push_back(static_cast<int>(message - WM_APP));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string Numbers(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) {
        text += std::to_string(n) + " ";
    }
    return text;
}

void TestPumpMessages() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = NotingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SumwardenPumpTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    Check(window != nullptr, "pump: test window created");

    // What is posted, in order: n > 0 is WM_APP + n to the window, 0 a WM_QUIT message in
    // the queue, -1 PostQuitMessage (as the exit question does).
    struct Case {
        const char* what;
        std::vector<int> posted;
        int result;
        std::vector<int> dispatched;
        std::vector<int> left;
    };
    const std::vector<Case> cases = {
        {"empty queue", {}, 1, {}, {}},
        {"messages only", {1, 2, 3}, 1, {1, 2, 3}, {}},
        {"WM_QUIT at the first pump", {0}, 0, {}, {}},
        {"PostQuitMessage at the first pump", {-1}, 0, {}, {}},
        {"WM_QUIT behind messages", {1, 2, 0, 3, 4}, 0, {1, 2}, {3, 4}},
        {"WM_QUIT before messages", {0, 5}, 0, {}, {5}},
    };
    for (const Case& c : cases) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        dispatchedNumbers.clear();
        for (int n : c.posted) {
            if (n > 0) {
                PostMessageA(window, WM_APP + n, 0, 0);
            } else if (n == 0) {
                PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
            } else {
                PostQuitMessage(0);
            }
        }
        const int result = MainWindow::PumpMessages();
        std::vector<int> left;
        while (PeekMessageA(&message, window, WM_APP, WM_APP + 99, PM_REMOVE)) {
            left.push_back(static_cast<int>(message.message - WM_APP));
        }
        Check(result == c.result, "pump result", c.what);
        Check(dispatchedNumbers == c.dispatched, "pump dispatches what stands before WM_QUIT",
              std::string(c.what) + ": " + Numbers(dispatchedNumbers));
        Check(left == c.left, "pump leaves what stands behind WM_QUIT",
              std::string(c.what) + ": " + Numbers(left));
        Check(!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE),
              "pump takes the WM_QUIT", c.what);
    }
    DestroyWindow(window);
}

// The pump routes no dialog keys: Enter presses no default button, Tab and the arrows move
// no focus, Esc closes nothing. Each key goes to the focused button of the menu, as the
// keyboard sends it.
void TestNoDialogKeys() {
    MenuDialog menu;
    menu.Create(nullptr);
    HWND button = GetDlgItem(menu.window, program::control::CD_CHECK);
    SetFocus(button);
    Check(GetFocus() == button, "keys: the first button has the focus");
    for (WPARAM key : {VK_RETURN, VK_TAB, VK_RIGHT, VK_ESCAPE}) {
        PostMessageA(button, WM_KEYDOWN, key, 1);
        PostMessageA(button, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    }
    MainWindow::PumpMessages();
    Check(menu.done == 0 && IsWindow(menu.window), "keys: the menu stays up");
    Check(GetFocus() == button, "keys: the focus stays on the first button");
    DestroyWindow(menu.window);
}

// Last: an exit confirmed with OK posts WM_QUIT.
// Whether the window's one-second timer still ticks: drops the ticks already queued, then
// waits a little over a period for the next.
bool TimerTicks(HWND window) {
    MSG message;
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
        if (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

void TestExitQuestion(MainWindow& mainWindow) {
    const std::string question = std::string(kProgramName) + "を終了します。よろしいですか？";
    struct Case {
        int answer;
        std::int32_t quitRequested;
        int pumpResult;  // 0: WM_QUIT was queued
        bool timerTicks;
    };
    for (const Case& c : {Case{IDCANCEL, 0, 1, true}, Case{IDOK, 1, 0, false}}) {
        const std::string which = std::to_string(c.answer);
        {
            BoxAnswerer answerer(c.answer);
            Check(SendMessageA(mainWindow.window, WM_CLOSE, 0, 0) == 0, "WM_CLOSE handled", which);
            Check(answerer.text == question && answerer.caption == kProgramName,
                  "exit question text and caption", answerer.text + "|" + answerer.caption);
            Check(answerer.owner == mainWindow.window, "exit question owned by the window", which);
        }
        Check(mainWindow.quitRequested == c.quitRequested, "quitRequested after the answer", which);
        Check(MainWindow::PumpMessages() == c.pumpResult, "pump after the answer", which);
        Check(IsWindow(mainWindow.window) != FALSE, "the window stays after WM_CLOSE", which);
        Check(TimerTicks(mainWindow.window) == c.timerTicks, "timer after the answer", which);
    }
}

bool AllZero(const void* bits, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(bits);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

void TestSurface(HWND window) {
    Surface surface;
    Check(surface.Blit(0) == 0, "no blit without a device context");
    Check(surface.Attach(window) == 1, "first attach");
    HDC first = surface.windowDc;
    Check(surface.Attach(window) == 0 && surface.windowDc == first, "second attach refused");
    Check(surface.Blit(0) == 0, "no blit of a slot never created");

    Check(surface.CreateSlot(640, 480, 0, 16) == 1, "slot 0 created");
    Check(surface.bits[0] != nullptr && AllZero(surface.bits[0], 640u * 480u * 2u),
          "a new slot is black");
    Check(surface.Blit(0) == 1, "blit of slot 0");

    struct Refused {
        std::int32_t slot;
        const char* why;
    };
    for (const Refused& r :
         {Refused{0, "in use"}, Refused{10, "above 9"}, Refused{-1, "below 0"}}) {
        const std::int32_t count = surface.slotCount;
        Check(surface.CreateSlot(8, 8, r.slot, 16) == 0, "slot refused", r.why);
        Check(surface.slotCount == count, "refused slot changes nothing", r.why);
    }
    Check(surface.width[0] == 640 && surface.height[0] == 480, "slot 0 keeps its size");
    Check(surface.Blit(10) == 0 && surface.Blit(-1) == 0, "no blit outside the slots");

    Check(surface.CreateSlot(4, 2, 9, 16) == 1 && surface.slotCount == 2, "slot 9 created");
    surface.Release();
    Check(surface.windowDc == nullptr && surface.memoryDc[0] == nullptr &&
              surface.memoryDc[9] == nullptr,
          "release gives everything back");
    Check(surface.Blit(0) == 0, "no blit after release");
}

// Ticks of the window's timer taken within `ms`, and the identifier the last one carried.
// Under load ticks only come later and merge, never earlier: the count is bounded from above
// by the period whatever the machine does.
int CountTicks(HWND window, DWORD ms, WPARAM* id) {
    MSG message;
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    int ticks = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            ++ticks;
            *id = message.wParam;
        }
        Sleep(10);
    }
    return ticks;
}

// The main window's class and window as another program reads them back, by its handle.
void TestMainWindowFacts(const MainWindow& mainWindow) {
    HWND window = mainWindow.window;
    constexpr DWORD kStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, 640, 480};
    AdjustWindowRect(&frame, kStyle, FALSE);
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    RECT rect{};
    GetWindowRect(window, &rect);
    WPARAM timerId = 99;
    const int ticks = CountTicks(window, 2100, &timerId);
    auto value = [](auto handle) { return reinterpret_cast<LONG_PTR>(handle); };
    struct Fact {
        const char* what;
        LONG_PTR got;
        LONG_PTR want;
    };
    const Fact facts[] = {
        {"class style", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCL_STYLE)),
         CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_BYTEALIGNCLIENT},
        {"class extra bytes", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCL_CBCLSEXTRA)), 0},
        // One pointer to the window's object: 4 bytes in the 32-bit program, 8 here.
        {"window extra bytes", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCL_CBWNDEXTRA)),
         static_cast<LONG_PTR>(sizeof(void*))},
        {"class icon", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCLP_HICON)),
         value(LoadIconA(nullptr, IDI_APPLICATION))},
        {"class cursor", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCLP_HCURSOR)),
         value(LoadCursorA(nullptr, IDC_ARROW))},
        {"class background", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)),
         value(GetStockObject(BLACK_BRUSH))},
        {"class menu", static_cast<LONG_PTR>(GetClassLongPtrA(window, GCLP_MENUNAME)), 0},
        // The system adds WS_CLIPSIBLINGS to every top-level window that is no popup, and
        // WS_EX_WINDOWEDGE to a window with a caption; the program asks for neither.
        {"window style", GetWindowLongPtrA(window, GWL_STYLE), WS_CLIPSIBLINGS | kStyle},
        {"extended style", GetWindowLongPtrA(window, GWL_EXSTYLE), WS_EX_WINDOWEDGE},
        {"owner", GetWindowLongPtrA(window, GWLP_HWNDPARENT), 0},
        {"menu", value(GetMenu(window)), 0},
        {"width", rect.right - rect.left, width},
        {"height", rect.bottom - rect.top, height},
        // Centred with a division that truncates toward zero.
        {"left", rect.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2},
        {"top", rect.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2},
        {"timer identifier", static_cast<LONG_PTR>(timerId), 0},
    };
    for (const Fact& fact : facts) {
        Check(fact.got == fact.want, std::string("main window: ") + fact.what,
              std::to_string(fact.got) + ", expected " + std::to_string(fact.want));
    }
    // A one-second timer gives two ticks in 2.1 s, three at most when they fall late.
    Check(ticks >= 1 && ticks <= 3, "main window: timer ticks in 2.1 s, 1 to 3",
          std::to_string(ticks));
}

void TestMainWindow(MainWindow& mainWindow) {
    Check(mainWindow.window != nullptr, "main window created");
    Check(FindWindowA(program::kMainWindowClass, nullptr) == mainWindow.window,
          "a second start finds the hidden window by its class");
    Check(!IsWindowVisible(mainWindow.window), "main window hidden");
    RECT client{};
    GetClientRect(mainWindow.window, &client);
    Check(client.right == 640 && client.bottom == 480, "client area is 640 x 480");
    Check(reinterpret_cast<WindowBase*>(GetWindowLongPtrA(mainWindow.window, 0)) ==
              static_cast<WindowBase*>(&mainWindow),
          "the window's extra bytes hold the object");
    Check(mainWindow.quitRequested == 0 && mainWindow.surface == nullptr, "fresh state");

    Check(SendMessageA(mainWindow.window, WM_PAINT, 0, 0) == 0, "paint without a surface");

    Surface first;
    Surface second;
    Check(mainWindow.AttachSurface(&first) == 1, "first surface attached");
    Check(mainWindow.AttachSurface(&second) == 0 && mainWindow.surface == &first,
          "second surface refused");
    mainWindow.DetachSurface();

    {
        Checker checker(&mainWindow);
        Check(mainWindow.surface == checker.surface && checker.surface != nullptr,
              "the checker hands its surface to the main window");
        Check(checker.surface->memoryDc[0] != nullptr && checker.surface->width[0] == 640 &&
                  checker.surface->height[0] == 480,
              "the checker's surface has its 640 x 480 slot");
        Check(SendMessageA(mainWindow.window, WM_PAINT, 0, 0) == 0, "paint with a surface");
    }
    // The main window outlives the checker: it must not keep the freed surface.
    Check(mainWindow.surface == nullptr, "surface detached when the checker goes");
    Check(SendMessageA(mainWindow.window, WM_PAINT, 0, 0) == 0, "paint after the checker");
}

}  // namespace

int main() {
    app::StoreInstanceHandles(GetModuleHandleA(nullptr), nullptr);
    MainWindow mainWindow(kProgramName);
    TestMainWindow(mainWindow);
    TestMainWindowFacts(mainWindow);
    TestSurface(mainWindow.window);
    TestReadInstalledPath();
    TestAskOkCancel();
    TestPumpMessages();
    TestNoDialogKeys();
    TestExitQuestion(mainWindow);
    return wintest::Report("shell checks");
}
