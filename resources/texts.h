// Every text that the program shows, in one place. This file is UTF-8; the compiler turns
// each literal into Shift-JIS (code page 932) bytes, which is what the program hands to the
// ANSI window functions. Dialog template texts live in sumwarden.rc.
#pragma once

namespace texts {

// Names by which the program and its running instance are known.
inline constexpr char kProgramName[] = "Sumwarden";
inline constexpr char kMainWindowClass[] = "Sumward";
inline constexpr char kMutexName[] = "Ombrix52";
inline constexpr char kInfFileName[] = "crclist.INF";

// Main window: the exit question is the title followed by this sentence.
inline constexpr char kExitQuestionFormat[] = "%s%s";
inline constexpr char kExitQuestion[] = "を終了します。よろしいですか？";

// Check flow.
// The check list could not be read (shown without caption; the run goes on).
inline constexpr char kInfReadFailed[] = "InfFileの読み取りに失敗しました";
// The CD/DVD check passed.
inline constexpr char kDiscCheckPassed[] = "CD/DVD内のファイルは正常であることが確認されました。";
// Installed files chosen, but the title's registry key is absent.
inline constexpr char kGameNotInstalled[] = "ゲームがインストールされていません";
// The question that offers the installed-files check: these two lines, each with its line feed.
inline constexpr char kGameInstalled[] = "ゲームがインストールされています。\n";
inline constexpr char kCheckInstalledToo[] =
    "続いてインストールされたデーターもチェックしますか？\n";
// The installed-files check passed.
inline constexpr char kInstalledCheckPassed[] =
    "インストールされたファイルは正常であることが確認されました。";

// CD/DVD check.
// The check list has no disc prompt at all.
inline constexpr char kNoDriveInfo[] = "情報ファイルの記述が間違っています。";
// The check list has fewer disc prompts than discs.
inline constexpr char kTooFewDriveInfo[] =
    "情報ファイルの記述が間違っています。[DRIVEINFO]の数が足りない";
// A disc file failed; the full path follows directly.
inline constexpr char kDiscFileFailed[] =
    "ファイルの読み込みに失敗しました。\nサポートページをご覧下さい。\n終了します。";

// File verification: the path comes first, directly followed by the text.
inline constexpr char kOpenFailed[] = "のファイルのオープンに失敗しました";
inline constexpr char kSizeMismatch[] = "のファイルサイズが一致しません";

// Installed-files check.
// An entry's registry value cannot be read; the entry's name follows directly. This box
// has the program's name as caption, not the title.
inline constexpr char kUnreadableEntry[] = "開けないファイルがありました。\n終了します。\n";
inline constexpr char kUnreadableEntryCaption[] = "Sumwarden";
// An installed file failed; the full path follows directly.
inline constexpr char kInstalledFileBroken[] =
    "ファイルが壊れてます。\n再インストールの必要があります\n終了します。";

// Information file lexer: "<byte>,<line>,は無効なトークン".
inline constexpr char kInvalidTokenFormat[] = "%s,%d,%s";
inline constexpr char kInvalidToken[] = "は無効なトークン";

// Progress dialog.
inline constexpr char kWorking[] = "処理中････";
inline constexpr char kWorkingLine[] = "処理中････\n";
inline constexpr char kCountFormat[] = "のこり(%d/%d)ファイル";

// Drive selection dialog.
inline constexpr char kChooseDrive[] = "検索するドライブを指定してください。";
inline constexpr char kDefaultDrive[] = "D:\\";

}  // namespace texts
