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
inline constexpr char kInfReadFailed[] = "InfFileの読み取りに失敗しました";                            // F1
inline constexpr char kDiscCheckPassed[] = "CD/DVD内のファイルは正常であることが確認されました。";     // F2
inline constexpr char kGameNotInstalled[] = "ゲームがインストールされていません";                      // F3
inline constexpr char kGameInstalled[] = "ゲームがインストールされています。\n";                       // F4, first line
inline constexpr char kCheckInstalledToo[] = "続いてインストールされたデーターもチェックしますか？\n"; // F4, second line
inline constexpr char kInstalledCheckPassed[] =
    "インストールされたファイルは正常であることが確認されました。";  // F5

// CD/DVD check.
inline constexpr char kNoDriveInfo[] = "情報ファイルの記述が間違っています。";  // D1
inline constexpr char kTooFewDriveInfo[] =
    "情報ファイルの記述が間違っています。[DRIVEINFO]の数が足りない";  // D2
inline constexpr char kDiscFileFailed[] =
    "ファイルの読み込みに失敗しました。\nサポートページをご覧下さい。\n終了します。";  // D3 + path

// File verification: the path comes first.
inline constexpr char kOpenFailed[] = "のファイルのオープンに失敗しました";  // V1
inline constexpr char kSizeMismatch[] = "のファイルサイズが一致しません";    // V2

// Installed-files check.
inline constexpr char kUnreadableEntry[] = "開けないファイルがありました。\n終了します。\n";  // I1 + name
inline constexpr char kUnreadableEntryCaption[] = "Sumwarden";                                 // I1 caption
inline constexpr char kInstalledFileBroken[] =
    "ファイルが壊れてます。\n再インストールの必要があります\n終了します。";  // I2 + path

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
