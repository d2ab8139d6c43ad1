// Lets the user pick the CD-ROM drive that holds the disc. Modeless; the CD/DVD check
// polls `done` and `cancelled` and then reads `drive`.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "inf/check_list.h"

class DriveDialog {
  public:
    DriveDialog();
    ~DriveDialog();

    // Creates the dialog from template 101 with no owner (`owner` is not used). False when
    // the window could not be created; `done` and `cancelled` are then 1, as after the
    // close box.
    bool Create(HWND owner, const CheckList* checkList);
    void SetText(const std::string& text);

    std::uint8_t done = 0;       // 1 after OK and whenever the window is destroyed
    std::uint8_t cancelled = 0;  // 1 when closed from its caption
    HWND window = nullptr;
    std::string message;  // the prompt shown until SetText replaces it
    std::string drive;    // the chosen drive root, "D:\" by default
    const CheckList* checkList = nullptr;

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void FillDriveList(HWND dialog);
    static DriveDialog* current_;
};
