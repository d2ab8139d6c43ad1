// The start screen: the check list's message text and the two check buttons. Modeless;
// the check flow polls `done`, `cancelled` and `choice`.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class MenuDialog {
  public:
    static constexpr std::int32_t kDiscCheck = 0;
    static constexpr std::int32_t kInstalledCheck = 2;

    // Forgets this object as the dialog procedure's target; the window is left alone.
    ~MenuDialog();

    // Creates the dialog from template 105, owned by `owner`. False when the window could
    // not be created; `done` and `cancelled` are then 1, as after the close box.
    bool Create(HWND owner);
    void SetText(const std::string& text);
    void SetTitle(const std::string& text);

    std::uint8_t done = 0;       // 1 once the window has been destroyed, whichever way
    std::uint8_t cancelled = 0;  // 1 when closed from its caption
    std::int32_t choice = kDiscCheck;
    HWND window = nullptr;

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static MenuDialog* current_;
};
