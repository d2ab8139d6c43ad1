#include "app/main_window.h"

#include <cstdlib>

#include "app/instance.h"
#include "app/surface.h"
#include "platform/platform.h"
#include "resources/texts.h"

namespace {

constexpr DWORD kWindowStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr LONG kClientWidth = 640;
constexpr LONG kClientHeight = 480;
constexpr UINT_PTR kTimerId = 0;
constexpr UINT kTimerPeriodMs = 1000;
constexpr int kQuestionSize = 256;

}  // namespace

LRESULT CALLBACK WindowBase::ClassWindowProc(HWND handle, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* object = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(handle, 0));
    if (object == nullptr) {
        if (message != WM_CREATE) {
            return DefWindowProcA(handle, message, wParam, lParam);
        }
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        object = static_cast<WindowBase*>(create->lpCreateParams);
        SetWindowLongPtrA(handle, 0, reinterpret_cast<LONG_PTR>(object));
        // The messages that CreateWindowExA sends after WM_CREATE (WM_SIZE, WM_MOVE) arrive
        // before it returns the handle; the object must already know it for them.
        object->window = handle;
    }
    return object->HandleMessage(message, wParam, lParam);
}

MainWindow::MainWindow(const char* windowTitle) : title(windowTitle) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_BYTEALIGNCLIENT;
    windowClass.lpfnWndProc = &WindowBase::ClassWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = app::Instance();
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = texts::kMainWindowClass;
    if (app::PreviousInstance() == nullptr && RegisterClassA(&windowClass) == 0) {
        std::exit(0);
    }

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kWindowStyle, FALSE);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    // Signed division truncating toward zero: a screen smaller than the frame gives a
    // negative origin, centred all the same.
    const int x = (screenWidth - frameWidth) / 2;
    const int y = (screenHeight - frameHeight) / 2;

    // Hidden: nothing in the program ever shows this window.
    HWND created = CreateWindowExA(0, texts::kMainWindowClass, title, kWindowStyle, x, y,
                                   frameWidth, frameHeight, nullptr, nullptr, app::Instance(),
                                   static_cast<WindowBase*>(this));
    if (created == nullptr) {
        std::exit(0);
    }
    window = created;
    StartTimer();
}

void MainWindow::StartTimer() {
    quitRequested = 0;
    surface = nullptr;
    timerId = SetTimer(window, kTimerId, kTimerPeriodMs, nullptr);
}

int MainWindow::AttachSurface(Surface* attached) {
    if (surface != nullptr) {
        return 0;
    }
    surface = attached;
    return 1;
}

int MainWindow::PumpMessages() {
    return platform::PumpMessages();
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CLOSE:
            // Never passed on: the default handling would destroy the window, and the window
            // is what tells a second start that this instance runs.
            ConfirmClose();
            return 0;
        case WM_COMMAND:
        case WM_TIMER:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void MainWindow::Paint() {
    // No BeginPaint: the whole client area is taken from the surface, so nothing needs the
    // paint structure, and validating stops further WM_PAINT.
    ValidateRect(window, nullptr);
    if (surface != nullptr) {
        surface->Blit(0);
    }
}

void MainWindow::ConfirmClose() {
    // The title is cut so that the question always fits; the program's own title is far
    // shorter than the limit.
    constexpr int kTitleRoom = kQuestionSize - static_cast<int>(sizeof(texts::kExitQuestion));
    char shortTitle[kTitleRoom + 1];
    lstrcpynA(shortTitle, title != nullptr ? title : "", kTitleRoom + 1);
    char question[kQuestionSize];
    wsprintfA(question, texts::kExitQuestionFormat, shortTitle, texts::kExitQuestion);

    if (MessageBoxA(window, question, title, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        return;
    }
    // A window timer is named by its window and the identifier given to SetTimer; the value
    // that SetTimer returns need not be that identifier.
    KillTimer(window, kTimerId);
    // Set before WM_QUIT is posted, so that whoever takes the WM_QUIT finds the flag set and
    // ends its work without reporting a failure.
    quitRequested = 1;
    PostQuitMessage(0);
}
