// Shows the file being verified, the running count, a bar for the current file and a
// Stop button. Modeless; the engine polls `stopRequested`.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/verify.h"
#include "inf/check_list.h"

class ProgressDialog : public ProgressView {
  public:
    // Finishes the dialog if the engine has not, and forgets this object as the dialog
    // procedure's target.
    ~ProgressDialog();

    // Creates the dialog from template 102 with no owner (`owner` is not used). Always true.
    bool Create(HWND owner, const CheckList* checkList);
    void SetFileName(const std::string& path);
    void SetCount(std::int32_t number, std::int32_t total);
    void SetPosition(std::int32_t percent) override;
    bool IsStopRequested() const override { return stopRequested != 0; }
    // Sets the stop flag and destroys the window.
    void Close(HWND dialog);
    // Closes the window unless it is gone already; on every way out of a check.
    void Finish();

    std::int32_t stopRequested = 0;
    HWND window = nullptr;
    const CheckList* checkList = nullptr;

  private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static ProgressDialog* current_;
};
