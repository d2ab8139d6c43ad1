// Every message box of the check flow and the two checks, exactly: the real engine, shell and
// dialogs run in this process on the recorded half of the user-interface layer, so each box
// is kept with its text, caption (or none), owner and style, MB_SETFOREGROUND included. The
// recorded pump plays the user: it lets the dialogs' real messages through and clicks their
// buttons. Files are real files in a temporary folder, the title's key is a scratch key below
// HKEY_CURRENT_USER\Software, and crclist.INF is read from a temporary current folder.
//
// Every flow with a check list runs twice, with a title and without one: a box whose caption
// is the title must then have an empty caption, not the platform's default one.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/checker.h"
#include "app/instance.h"
#include "app/main_window.h"
#include "platform/ui_recorded.h"
#include "tests/program_interface.h"
#include "tests/win/checks.h"
#include "tests/win/scratch_key.h"

namespace {

namespace control = program::control;
namespace pt = platform::testing;
using wintest::Check;

constexpr unsigned kError = MB_ICONERROR | MB_SETFOREGROUND;
constexpr unsigned kInformation = MB_ICONINFORMATION | MB_SETFOREGROUND;
constexpr unsigned kQuestion = MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND;

// The title of the titled run; it goes on the first line, so line numbers stay the same.
constexpr char kTitle[] = "タイトル";
constexpr char kTitleSection[] = "[TITLE] 'タイトル' ";

// Where the flows' files are, put into check lists and expected texts for {disc} (the folder
// the drive dialog is given as the drive root), {inst} and {key}.
struct Places {
    std::string disc;
    std::string inst;
    std::string key;
};

std::string Expand(std::string text, const Places& places) {
    const std::pair<const char*, const std::string*> names[] = {
        {"{disc}", &places.disc}, {"{inst}", &places.inst}, {"{key}", &places.key}};
    for (const auto& [name, value] : names) {
        for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name)) {
            text.replace(at, std::string(name).size(), *value);
        }
    }
    return text;
}

// --- What the user does -------------------------------------------------------------------

enum class Menu { Disc, Installed, CloseBox, Quit };
enum class Drive { Ok, CloseBox, Quit };    // Ok picks {disc}
enum class Progress { Watch, Stop, Quit };  // acts at the first pump that finds it
enum class Entry { Run, CheckDisc, CheckInstalled };

struct User {
    Menu menu = Menu::Disc;
    Drive drive = Drive::Ok;
    Progress progress = Progress::Watch;
};

struct FindDialogParam {
    int control;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam) {
    auto* param = reinterpret_cast<FindDialogParam*>(lParam);
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (std::string(name) == "#32770" && IsWindowVisible(window) &&
        GetDlgItem(window, param->control) != nullptr) {
        param->found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible dialog of this thread that has the control `id`.
HWND FindDialog(int id) {
    FindDialogParam param{id, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&param));
    return param.found;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The recorded pump: lets real messages through, then acts on the dialog that is up.
class PlayedUser {
  public:
    PlayedUser(const User& user, const Places& places, MainWindow& mainWindow)
        : user_(user), places_(places), mainWindow_(mainWindow) {}

    int Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (HWND menu = FindDialog(control::CD_CHECK)) {
            return Act(menu, user_.menu == Menu::Quit, user_.menu == Menu::CloseBox, [&] {
                Click(menu,
                      user_.menu == Menu::Disc ? control::CD_CHECK : control::INSTALLED_CHECK);
            });
        }
        if (HWND drive = FindDialog(control::DRIVE_LIST)) {
            return Act(drive, user_.drive == Drive::Quit, user_.drive == Drive::CloseBox, [&] {
                const LRESULT index =
                    SendDlgItemMessageA(drive, control::DRIVE_LIST, CB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(places_.disc.c_str()));
                SendDlgItemMessageA(drive, control::DRIVE_LIST, CB_SETCURSEL,
                                    static_cast<WPARAM>(index), 0);
                Click(drive, control::DRIVE_OK);
            });
        }
        HWND progress = FindDialog(control::STOP);
        if (progress != nullptr && !progressSeen_) {
            progressSeen_ = true;
            if (user_.progress == Progress::Quit) {
                // As the main window's exit question does: the flag first, then WM_QUIT.
                mainWindow_.quitRequested = 1;
                return 0;
            }
            if (user_.progress == Progress::Stop) {
                Click(progress, control::STOP);
            }
        }
        return 1;
    }

  private:
    template <typename Press>
    static int Act(HWND dialog, bool quit, bool closeBox, Press press) {
        if (quit) {
            return 0;
        }
        if (closeBox) {
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        } else {
            press();
        }
        return 1;
    }

    User user_;
    const Places& places_;
    MainWindow& mainWindow_;
    bool progressSeen_ = false;
};

// Dialogs that a WM_QUIT left up go before the next flow starts.
void DestroyLeftoverDialogs() {
    for (int id : {control::CD_CHECK, control::DRIVE_LIST, control::STOP}) {
        while (HWND dialog = FindDialog(id)) {
            DestroyWindow(dialog);
        }
    }
}

// --- The boxes ------------------------------------------------------------------------------

enum class Caption { None, Title, Program };

struct Box {
    std::string text;
    Caption caption;
    std::string owner;  // "no owner", or the progress dialog with its count line at the time
    unsigned style;
};

const std::string kNoOwner = "no owner";

// Owned by the progress dialog while its count line reads のこり(`count`)ファイル; an empty
// `count` means no count was shown yet.
std::string ProgressAt(const std::string& count) {
    return "progress dialog at " + (count.empty() ? "(no count)" : "のこり(" + count + ")ファイル");
}

std::string DescribeOwner(void* owner) {
    HWND window = static_cast<HWND>(owner);
    if (window == nullptr) {
        return kNoOwner;
    }
    if (GetDlgItem(window, control::STOP) != nullptr) {
        char count[256] = "";
        GetDlgItemTextA(window, control::PROGRESS_COUNT, count, sizeof(count));
        return "progress dialog at " + std::string(*count != '\0' ? count : "(no count)");
    }
    return "another window";
}

// The messages as the user must see them.
Box F1() {
    return {"InfFileの読み取りに失敗しました", Caption::None, kNoOwner, kError};
}
Box F2() {
    return {"CD/DVD内のファイルは正常であることが確認されました。", Caption::Title, kNoOwner,
            kInformation};
}
Box F3() {
    return {"ゲームがインストールされていません", Caption::Title, kNoOwner, kError};
}
Box F4() {
    return {
        "ゲームがインストールされています。\n続いてインストールされたデーターもチェックしますか？"
        "\n",
        Caption::Title, kNoOwner, kQuestion};
}
Box F5() {
    return {"インストールされたファイルは正常であることが確認されました。", Caption::Title,
            kNoOwner, kInformation};
}
Box D1() {
    return {"情報ファイルの記述が間違っています。", Caption::Title, kNoOwner, kError};
}
Box D2() {
    return {"情報ファイルの記述が間違っています。[DRIVEINFO]の数が足りない", Caption::Title,
            kNoOwner, kError};
}
Box D3(const std::string& path, const std::string& count) {
    return {"ファイルの読み込みに失敗しました。\nサポートページをご覧下さい。\n終了します。" + path,
            Caption::Title, ProgressAt(count), kError};
}
Box NextDisc(const std::string& prompt, const std::string& count) {
    return {prompt, Caption::Title, ProgressAt(count), kQuestion};
}
Box V1(const std::string& path, const std::string& count) {
    return {path + "のファイルのオープンに失敗しました", Caption::None, ProgressAt(count), kError};
}
Box V2(const std::string& path, const std::string& count) {
    return {path + "のファイルサイズが一致しません", Caption::None, ProgressAt(count), kError};
}
Box I1(const std::string& name, const std::string& count) {
    return {"開けないファイルがありました。\n終了します。\n" + name, Caption::Program,
            ProgressAt(count), kError};
}
Box I2(const std::string& path, const std::string& count) {
    return {"ファイルが壊れてます。\n再インストールの必要があります\n終了します。" + path,
            Caption::Title, ProgressAt(count), kError};
}
Box InvalidToken(const std::string& byte, int line) {
    return {byte + "," + std::to_string(line) + ",は無効なトークン", Caption::None, kNoOwner,
            kError};
}

std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out;
}

std::string Describe(const std::string& text, bool hasCaption, const std::string& caption,
                     const std::string& owner, unsigned style) {
    char styleText[16];
    std::snprintf(styleText, sizeof(styleText), "0x%05X", style);
    return Printable(text) + " | " + (hasCaption ? "\"" + caption + "\"" : "(no caption)") + " | " +
           owner + " | " + styleText;
}

// --- The flows ------------------------------------------------------------------------------

struct Flow {
    const char* name;
    Entry entry;
    std::optional<std::string> inf;  // none: no crclist.INF at all
    User user;
    std::vector<int> answers;
    bool result;
    std::vector<Box> boxes;
};

// Check lists: one prompt and one disc; the installed files through the scratch key.
constexpr char kOneDisc[] = "[DRIVEINFO]\n'P1'\n[CDFILES]\nA.DAT,9,CBF43926\n";
constexpr char kInstalled[] = "[GAME]\n{key}\n[REG]\nGood,9,CBF43926\n";
constexpr char kNotInstalled[] = "[GAME]\n{key}\\absent\n[REG]\nGood,9,CBF43926\n";
constexpr char kTwoDiscs[] =
    "[DRIVEINFO]\n'P1'\n[DRIVEINFO]\n'P2' 'P3'\n"
    "[CDFILES]\nA.DAT,9,CBF43926\nA.DAT,9,CBF43926\n[CDFILES]\nA.DAT,9,CBF43926\n";

std::vector<Flow> Flows() {
    const User disc{Menu::Disc};
    const User installed{Menu::Installed};
    const std::string oneDiscInstalled = std::string(kOneDisc) + kInstalled;
    const std::string oneDiscNotInstalled = std::string(kOneDisc) + kNotInstalled;
    return {
        // The check flow.
        {"F1 without a check list", Entry::Run, std::nullopt, {Menu::CloseBox}, {}, false, {F1()}},
        {"F1 for a faulty list, then D1",
         Entry::Run,
         "[CDFILES]\nA.DAT,9,CBF43926\n[title]\n",
         disc,
         {},
         false,
         {F1(), D1()}},
        {"invalid token, then the menu closed",
         Entry::Run,
         "[MESSAGE]\nA #\n",
         {Menu::CloseBox},
         {},
         false,
         {InvalidToken("#", 2)}},
        {"menu closed", Entry::Run, kOneDisc, {Menu::CloseBox}, {}, false, {}},
        {"WM_QUIT at the menu", Entry::Run, kOneDisc, {Menu::Quit}, {}, false, {}},
        {"F2", Entry::Run, kOneDisc, disc, {}, true, {F2()}},
        {"F2 without a disc group", Entry::Run, "[DRIVEINFO]\n'P1'\n", disc, {}, true, {F2()}},
        {"F2, F4 answered Cancel",
         Entry::Run,
         oneDiscInstalled,
         disc,
         {IDOK, IDCANCEL},
         true,
         {F2(), F4()}},
        {"F2, F4, F5", Entry::Run, oneDiscInstalled, disc, {}, true, {F2(), F4(), F5()}},
        {"F2 and no F4 without the key", Entry::Run, oneDiscNotInstalled, disc, {}, true, {F2()}},
        {"F3", Entry::Run, kNotInstalled, installed, {}, true, {F3()}},
        {"F4 answered Cancel", Entry::Run, kInstalled, installed, {IDCANCEL}, true, {F4()}},
        {"F4, F5", Entry::Run, kInstalled, installed, {}, true, {F4(), F5()}},
        {"installed files chosen, none listed",
         Entry::Run,
         "[GAME]\n{key}\n",
         installed,
         {},
         true,
         {}},
        // The CD/DVD check.
        {"D1", Entry::Run, "[CDFILES]\nA.DAT,9,CBF43926\n", disc, {}, false, {D1()}},
        {"D2 before any file is read",
         Entry::Run,
         "[DRIVEINFO]\n'P1'\n[CDFILES]\nMISSING.DAT,9,CBF43926\n[CDFILES]\nA.DAT,9,CBF43926\n",
         disc,
         {},
         false,
         {D2()}},
        {"drive dialog closed", Entry::Run, kOneDisc, {Menu::Disc, Drive::CloseBox}, {}, false, {}},
        {"WM_QUIT at the drive dialog",
         Entry::Run,
         kOneDisc,
         {Menu::Disc, Drive::Quit},
         {},
         false,
         {}},
        {"D3 for a wrong CRC",
         Entry::Run,
         "[DRIVEINFO]\n'P1'\n[CDFILES]\nA.DAT,9,CBF43926\nA.DAT,9,CBF43927\n",
         disc,
         {},
         false,
         {D3("{disc}A.DAT", "2/2")}},
        {"V1 and D3 for a missing file",
         Entry::Run,
         "[DRIVEINFO]\n'P1'\n[CDFILES]\nMISSING.DAT,9,CBF43926\n",
         disc,
         {},
         false,
         {V1("{disc}MISSING.DAT", "1/1"), D3("{disc}MISSING.DAT", "1/1")}},
        {"V2 and D3 for a wrong size",
         Entry::Run,
         "[DRIVEINFO]\n'P1'\n[CDFILES]\nA.DAT,10,CBF43926\n",
         disc,
         {},
         false,
         {V2("{disc}A.DAT", "1/1"), D3("{disc}A.DAT", "1/1")}},
        {"next disc answered OK",
         Entry::Run,
         kTwoDiscs,
         disc,
         {},
         true,
         {NextDisc("P2\nP3\n", "2/3"), F2()}},
        {"next disc answered Cancel",
         Entry::Run,
         kTwoDiscs,
         disc,
         {IDCANCEL},
         false,
         {NextDisc("P2\nP3\n", "2/3")}},
        {"D3 on the second disc",
         Entry::Run,
         "[DRIVEINFO]\n'P1'\n[DRIVEINFO]\n'P2'\n"
         "[CDFILES]\nA.DAT,9,CBF43926\n[CDFILES]\nA.DAT,9,0\n",
         disc,
         {},
         false,
         {NextDisc("P2\n", "1/2"), D3("{disc}A.DAT", "2/2")}},
        {"prompts beyond the discs are not shown",
         Entry::Run,
         "[DRIVEINFO]\n'P1'\n[DRIVEINFO]\n'P2'\n[CDFILES]\nA.DAT,9,CBF43926\n",
         disc,
         {},
         true,
         {F2()}},
        {"Stop during a disc file",
         Entry::Run,
         kOneDisc,
         {Menu::Disc, Drive::Ok, Progress::Stop},
         {},
         false,
         {}},
        {"WM_QUIT during a disc file",
         Entry::Run,
         kOneDisc,
         {Menu::Disc, Drive::Ok, Progress::Quit},
         {},
         false,
         {}},
        // The installed-files check.
        {"I1 before the entry's count",
         Entry::Run,
         "[GAME]\n{key}\n[REG]\nGood,9,CBF43926\nNoValue,9,CBF43926\n",
         installed,
         {},
         false,
         {F4(), I1("NoValue", "1/2")}},
        {"I2 for a wrong CRC",
         Entry::Run,
         "[GAME]\n{key}\n[REG]\nGood,9,0\n",
         installed,
         {},
         false,
         {F4(), I2("{inst}OK.DAT", "1/1")}},
        {"V1 and I2 for a missing file",
         Entry::Run,
         "[GAME]\n{key}\n[REG]\nLost,9,CBF43926\n",
         installed,
         {},
         false,
         {F4(), V1("{inst}LOST.DAT", "1/1"), I2("{inst}LOST.DAT", "1/1")}},
        {"V2 and I2 for a wrong size",
         Entry::Run,
         "[GAME]\n{key}\n[REG]\nGood,10,CBF43926\n",
         installed,
         {},
         false,
         {F4(), V2("{inst}OK.DAT", "1/1"), I2("{inst}OK.DAT", "1/1")}},
        {"Stop during an installed file",
         Entry::Run,
         kInstalled,
         {Menu::Installed, Drive::Ok, Progress::Stop},
         {},
         false,
         {F4()}},
        // The two checks called on their own show no success message.
        {"CheckDisc: one prompt, no disc",
         Entry::CheckDisc,
         "[DRIVEINFO]\n'P1'\n",
         {},
         {},
         true,
         {}},
        {"CheckDisc: two discs",
         Entry::CheckDisc,
         kTwoDiscs,
         {},
         {},
         true,
         {NextDisc("P2\nP3\n", "2/3")}},
        {"CheckDisc: D1", Entry::CheckDisc, "[CDFILES]\n", {}, {}, false, {D1()}},
        {"CheckInstalled: passes", Entry::CheckInstalled, kInstalled, {}, {}, true, {}},
        {"CheckInstalled: I1 before any count",
         Entry::CheckInstalled,
         "[GAME]\n{key}\n[REG]\nNoValue,9,CBF43926\nGood,9,CBF43926\n",
         {},
         {},
         false,
         {I1("NoValue", "")}},
        {"CheckInstalled: nothing listed",
         Entry::CheckInstalled,
         "[GAME]\n{key}\n",
         {},
         {},
         true,
         {}},
    };
}

class FlowRunner {
  public:
    FlowRunner(MainWindow& mainWindow, const Places& places, const std::string& cwd)
        : mainWindow_(mainWindow), places_(places), infPath_(cwd + "crclist.INF") {}

    void RunTwice(const Flow& flow) {
        if (!flow.inf) {
            Run(flow, "", "");
            return;
        }
        Run(flow, kTitleSection, kTitle);
        Run(flow, "", "");
    }

  private:
    void Run(const Flow& flow, const char* titleSection, const std::string& title) {
        const std::string name =
            std::string(flow.name) + (title.empty() ? " (no title)" : " (titled)");
        DeleteFileA(infPath_.c_str());
        if (flow.inf) {
            std::ofstream(infPath_, std::ios::binary) << titleSection << Expand(*flow.inf, places_);
        }

        std::vector<std::string> owners;
        PlayedUser user(flow.user, places_, mainWindow_);
        pt::Reset();
        pt::QueueAnswers(flow.answers);
        pt::SetPumpHandler([&user] { return user.Pump(); });
        pt::SetShowHook(
            [&owners](const pt::RecordedMessage& m) { owners.push_back(DescribeOwner(m.owner)); });
        mainWindow_.quitRequested = 0;

        bool result = false;
        {
            Checker checker(&mainWindow_);
            if (flow.entry == Entry::Run) {
                result = checker.Run();
            } else {
                CheckList list;
                list.LoadInfFile("crclist.INF");
                result = flow.entry == Entry::CheckDisc ? checker.CheckDisc(list)
                                                        : checker.CheckInstalled(list);
            }
        }
        DestroyLeftoverDialogs();

        std::vector<std::string> got;
        const auto& messages = pt::Messages();
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const pt::RecordedMessage& m = messages[i];
            got.push_back(Describe(m.text, m.hasCaption, m.caption, owners[i], m.style));
        }
        std::vector<std::string> want;
        for (const Box& box : flow.boxes) {
            const std::string caption = box.caption == Caption::Program ? "Sumwarden" : title;
            want.push_back(Describe(Expand(box.text, places_), box.caption != Caption::None,
                                    caption, box.owner, box.style));
        }
        Check(result == flow.result, name, "result");
        std::string detail;
        for (const std::string& line : got) {
            detail += "\n    got:  " + line;
        }
        for (const std::string& line : want) {
            detail += "\n    want: " + line;
        }
        Check(got == want, name, detail);
        pt::Reset();
    }

    MainWindow& mainWindow_;
    const Places& places_;
    std::string infPath_;
};

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

int main() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    const std::string base =
        std::string(temp) + "sumwarden-flow-" + std::to_string(GetCurrentProcessId()) + "\\";
    const std::string cwd = base + "cwd\\";
    Places places{base + "disc\\", base + "installed\\", ""};
    for (const std::string& folder : {base, cwd, places.disc, places.inst}) {
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    // Nine bytes whose CRC-32 is the standard check value CBF43926.
    WriteFile(places.disc + "A.DAT", "123456789");
    WriteFile(places.inst + "OK.DAT", "123456789");
    SetCurrentDirectoryA(cwd.c_str());

    wintest::ScratchKey key("SumwardenFlowTests");
    key.Set("Good", REG_SZ, places.inst + "OK.DAT" + '\0');
    key.Set("Lost", REG_SZ, places.inst + "LOST.DAT" + '\0');
    places.key = key.Path();

    app::StoreInstanceHandles(GetModuleHandleA(nullptr), nullptr);
    MainWindow mainWindow("Sumwarden");
    FlowRunner runner(mainWindow, places, cwd);
    for (const Flow& flow : Flows()) {
        runner.RunTwice(flow);
    }

    SetCurrentDirectoryA(temp);
    for (const std::string& file :
         {cwd + "crclist.INF", places.disc + "A.DAT", places.inst + "OK.DAT"}) {
        DeleteFileA(file.c_str());
    }
    for (const std::string& folder : {cwd, places.disc, places.inst, base}) {
        RemoveDirectoryA(folder.c_str());
    }
    return wintest::Report("flow box checks");
}
