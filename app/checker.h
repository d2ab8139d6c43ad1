// The application object: owns the drawing surface, the CRC-32 table and the handle of the
// program's named mutex, and runs the check flow with its two checks.
//
// Its operations live where their subsystem does. This folder (app/checker.cpp) has what
// belongs to the shell: construction, the surface, the CRC table and the verification of one
// listed file. The check engine's operations are defined in engine/: Run and the dialog wait
// in check_flow.cpp, the CD/DVD check in check_disc.cpp, the installed-files check in
// check_installed.cpp. The engine needs the shell's main window and quit flag, and the shell
// runs the engine's flow, so the one class spans both folders by design.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/crc32.h"
#include "inf/check_list.h"
#include "platform/win_handles.h"

class MainWindow;
class ProgressDialog;
class Surface;

class Checker {
  public:
    // Prepares the surface on the main window and fills the CRC-32 table.
    explicit Checker(MainWindow* window);
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;
    // Takes the surface off the main window, gives it back and closes the mutex handle.
    ~Checker();

    // The whole check flow, from loading the check list to the final message. True when the
    // chosen check (and the installed-files check, if it ran) passed.
    bool Run();

    void BuildCrcTable();
    bool VerifyFile(const char* path, std::int32_t size, std::uint32_t crc,
                    ProgressDialog& progress, HWND owner);
    // One file of a check run: shows its path and running number, verifies it against
    // `entry`, and reports a failure as `failureText` followed by the path. False when the
    // file failed or the user stopped or quit (then without a message).
    bool CheckListedFile(ProgressDialog& progress, const std::string& path, const FileEntry& entry,
                         std::int32_t& counter, std::int32_t total, const char* failureText,
                         const char* caption);

    // The CD/DVD check.
    bool CheckDisc(const CheckList& checkList);
    bool SelectDrive(std::string& driveRoot, const CheckList& checkList);
    static std::int32_t CountDiscFiles(const CheckList& checkList);
    bool CheckDiscGroup(ProgressDialog& progress, const CheckList& checkList, std::int32_t total,
                        std::int32_t& counter, std::size_t group, const std::string& driveRoot);

    // The installed-files check.
    // Each path is read with ReadInstalledPath (engine/registry.h).
    bool CheckInstalled(const CheckList& checkList);

    // Lets messages through, with a short sleep between drains, until a modeless dialog
    // sets `done`. False when WM_QUIT was taken meanwhile.
    static bool WaitForDialog(const std::uint8_t& done);

    // An OK/Cancel question with the check list's title as caption. True on OK.
    static bool AskOkCancel(const std::string& text, const CheckList& checkList, HWND owner);

    MainWindow* mainWindow = nullptr;  // not owned
    Surface* surface = nullptr;        // owned
    CrcTable crcTable{};
    win::UniqueHandle mutexHandle;
};
