#include "dialogs/progress_dialog.h"

#include <commctrl.h>

#include <cstdio>

#include "dialogs/common_controls.h"
#include "dialogs/dialog_template.h"
#include "resources/resource_ids.h"
#include "resources/texts.h"

ProgressDialog* ProgressDialog::current_ = nullptr;

ProgressDialog::~ProgressDialog() {
    // The engine calls Finish on every way out; this only covers a way it missed, so that
    // no window is left whose Stop button would write into a discarded object.
    Finish();
    if (current_ == this) {
        current_ = nullptr;
    }
}

bool ProgressDialog::Create(HWND /*owner*/, const CheckList* list) {
    checkList = list;
    // Without the bar's class the dialog cannot be created at all. If it still fails, the
    // check runs without a visible dialog: every update below is then a no-op.
    InitCommonControlsOnce();
    window = CreateFromTemplate(IDD_PROGRESS, nullptr, DialogProc, this);
    return true;
}

// Once Stop or Close has destroyed the window its handle is stale until Finish; nothing
// may be sent to it, since Windows may hand the same value to a new window.
static bool IsShown(HWND window, std::int32_t stopRequested) {
    return window != nullptr && stopRequested == 0;
}

void ProgressDialog::SetFileName(const std::string& path) {
    if (!IsShown(window, stopRequested)) {
        return;
    }
    std::string text = texts::kWorkingLine;
    text += path;
    SetDlgItemTextA(window, IDC_PROGRESS_STATUS, text.c_str());
}

void ProgressDialog::SetCount(std::int32_t number, std::int32_t total) {
    if (!IsShown(window, stopRequested)) {
        return;
    }
    char text[256];
    std::snprintf(text, sizeof(text), texts::kCountFormat, static_cast<int>(number),
                  static_cast<int>(total));
    SetDlgItemTextA(window, IDC_PROGRESS_COUNT, text);
}

void ProgressDialog::SetPosition(std::int32_t percent) {
    if (!IsShown(window, stopRequested)) {
        return;
    }
    // The range is never set: the bar keeps its default of 0 to 100.
    SendMessageA(GetDlgItem(window, IDC_PROGRESS_BAR), PBM_SETPOS,
                 static_cast<WPARAM>(static_cast<INT_PTR>(percent)), 0);
}

void ProgressDialog::Close(HWND dialog) {
    stopRequested = 1;
    if (dialog != nullptr) {
        DestroyWindow(dialog);
    }
}

void ProgressDialog::Finish() {
    // After a Stop or a Close the window is gone already and is not destroyed again.
    if (stopRequested == 0) {
        Close(window);
    }
    window = nullptr;
}

INT_PTR CALLBACK ProgressDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        current_ = reinterpret_cast<ProgressDialog*>(lParam);
        SetDlgItemTextA(dialog, IDC_PROGRESS_STATUS, texts::kWorking);
        const CheckList* list = current_->checkList;
        SetWindowTextA(dialog, list != nullptr ? list->title.c_str() : "");
        return TRUE;  // the focus goes to the first tab stop, Stop
    }
    if (current_ == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            // Whatever the notification: only clicks arrive, the pump routes no keys.
            if (LOWORD(wParam) == IDC_STOP) {
                current_->stopRequested = 1;
                DestroyWindow(dialog);
            }
            break;
        case WM_CLOSE:
            current_->Close(dialog);
            break;
        default:
            break;
    }
    return FALSE;
}
