#include "dialogs/drive_dialog.h"

#include <cstring>

#include "dialogs/dialog_template.h"
#include "resources/resource_ids.h"
#include "resources/texts.h"

DriveDialog* DriveDialog::current_ = nullptr;

DriveDialog::DriveDialog() : message(texts::kChooseDrive), drive(texts::kDefaultDrive) {}

DriveDialog::~DriveDialog() {
    window = nullptr;
    // The CD/DVD check may give up (WM_QUIT) while the window is still up; a later
    // message for it must not reach this object once it is gone.
    if (current_ == this) {
        current_ = nullptr;
    }
}

bool DriveDialog::Create(HWND /*owner*/, const CheckList* list) {
    checkList = list;
    // Unowned, as the progress dialog: the main window is never shown.
    window = CreateFromTemplate(IDD_DRIVE, nullptr, DialogProc, this);
    if (window == nullptr) {
        // The CD/DVD check waits for `done`; a dialog that never appeared counts as
        // closed, or the wait would never end.
        done = 1;
        cancelled = 1;
        return false;
    }
    return true;
}

void DriveDialog::SetText(const std::string& text) {
    SetDlgItemTextA(window, IDC_DRIVE_PROMPT, text.c_str());
}

void DriveDialog::FillDriveList(HWND dialog) {
    // Every root has the default's form: a letter, a colon and a backslash.
    static_assert(sizeof(texts::kDefaultDrive) == 4, "a drive root is three characters");
    char root[sizeof(texts::kDefaultDrive)];
    std::memcpy(root, texts::kDefaultDrive, sizeof(root));

    HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
    // Z: is not offered. The list is unsorted, so the entries stay in letter order.
    for (char letter = 'A'; letter <= 'Y'; ++letter) {
        root[0] = letter;
        if (GetDriveTypeA(root) == DRIVE_CDROM) {
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root));
        }
    }
}

// Copies the selected entry into `drive`. With nothing selected (an empty list gives
// CB_ERR) `drive` keeps its value; the entry's length is asked first so that a longer
// entry than expected cannot overrun the buffer.
static void ReadSelection(HWND list, std::string& drive) {
    const LRESULT selection = SendMessageA(list, CB_GETCURSEL, 0, 0);
    const WPARAM index = LOWORD(selection);
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0) {
        return;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    if (copied == CB_ERR || copied < 0 || copied > length) {
        return;
    }
    text.resize(static_cast<std::size_t>(copied));
    drive = text;
}

INT_PTR CALLBACK DriveDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        current_ = reinterpret_cast<DriveDialog*>(lParam);
        current_->FillDriveList(dialog);
        SendDlgItemMessageA(dialog, IDC_DRIVE_LIST, CB_SETCURSEL, 0, 0);
        SetDlgItemTextA(dialog, IDC_DRIVE_PROMPT, current_->message.c_str());
        const CheckList* list = current_->checkList;
        SetWindowTextA(dialog, list != nullptr ? list->title.c_str() : "");
        return TRUE;  // the focus goes to the first tab stop, OK
    }
    if (current_ == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            // Whatever the notification: only clicks arrive, the pump routes no keys.
            if (LOWORD(wParam) == IDOK) {
                ReadSelection(GetDlgItem(dialog, IDC_DRIVE_LIST), current_->drive);
                current_->done = 1;
                DestroyWindow(dialog);
            }
            break;
        case WM_CLOSE:
            current_->cancelled = 1;
            DestroyWindow(dialog);
            break;
        case WM_DESTROY:
            current_->done = 1;
            break;
        default:
            break;
    }
    return FALSE;
}
