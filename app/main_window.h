// The program's hidden top-level window: the mark of a running instance, the owner of the
// menu dialog, the carrier of the drawing surface and the holder of the quit flag.
#pragma once

#include <windows.h>

#include <cstdint>

class Surface;

// A window object that the class window procedure reaches through the window's extra bytes.
class WindowBase {
  public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND window = nullptr;

  protected:
    virtual ~WindowBase() = default;

    // The window procedure of every class whose windows are created with a WindowBase
    // address as their creation parameter and sizeof(LONG_PTR) window extra bytes.
    static LRESULT CALLBACK ClassWindowProc(HWND handle, UINT message, WPARAM wParam,
                                            LPARAM lParam);
};

class MainWindow final : public WindowBase {
  public:
    // Registers the class, creates the hidden window and starts its timer. If the window
    // cannot be had, the process ends here with exit code 0.
    explicit MainWindow(const char* windowTitle);
    ~MainWindow() override = default;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // 0 when a surface is attached already (nothing changes), else 1.
    int AttachSurface(Surface* attached);
    // Forgets the surface, so that its owner may free it without leaving a dangling pointer.
    void DetachSurface() { surface = nullptr; }

    // The one message pump: 1 when the queue is drained, 0 when WM_QUIT was taken.
    static int PumpMessages();

    const char* title = nullptr;
    Surface* surface = nullptr;
    UINT_PTR timerId = 0;
    std::int32_t quitRequested = 0;

  private:
    void StartTimer();
    void Paint();
    void ConfirmClose();
};
