#include "dialogs/menu_dialog.h"

#include "dialogs/dialog_template.h"
#include "resources/resource_ids.h"

MenuDialog* MenuDialog::current_ = nullptr;

MenuDialog::~MenuDialog() {
    // The window may outlive this object (the flow gives up on WM_QUIT while the menu is
    // up); its WM_DESTROY, when the owner goes, must then find no object to write to.
    if (current_ == this) {
        current_ = nullptr;
    }
}

bool MenuDialog::Create(HWND owner) {
    window = CreateFromTemplate(IDD_MENU, owner, DialogProc, this);
    if (window == nullptr) {
        // The flow waits for `done`; a menu that never appeared counts as closed, or the
        // wait would never end.
        done = 1;
        cancelled = 1;
        return false;
    }
    return true;
}

void MenuDialog::SetText(const std::string& text) {
    SetDlgItemTextA(window, IDC_MENU_TEXT, text.c_str());
}

void MenuDialog::SetTitle(const std::string& text) {
    SetWindowTextA(window, text.c_str());
}

INT_PTR CALLBACK MenuDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        current_ = reinterpret_cast<MenuDialog*>(lParam);
        return TRUE;  // the focus goes to the first tab stop, the CD/DVD button
    }
    if (current_ == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            // Any notification of the two buttons counts: the pump routes no dialog
            // keys, so only clicks arrive here.
            if (LOWORD(wParam) == IDC_CD_CHECK) {
                current_->choice = kDiscCheck;
                DestroyWindow(dialog);
            } else if (LOWORD(wParam) == IDC_INSTALLED_CHECK) {
                current_->choice = kInstalledCheck;
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
