#include "app/checker.h"

#include <new>

#include "app/main_window.h"
#include "app/surface.h"
#include "dialogs/progress_dialog.h"
#include "engine/verify.h"
#include "platform/platform.h"

namespace {

constexpr std::int32_t kSurfaceWidth = 640;
constexpr std::int32_t kSurfaceHeight = 480;
constexpr std::int32_t kSurfaceBitsPerPixel = 16;

}  // namespace

Checker::Checker(MainWindow* window) : mainWindow(window) {
    // The surface only feeds the painting of a window that is never shown; without it the
    // checks work all the same, so running short of memory here is not fatal.
    surface = new (std::nothrow) Surface;
    if (surface != nullptr) {
        surface->Attach(mainWindow->window);
        surface->CreateSlot(kSurfaceWidth, kSurfaceHeight, 0, kSurfaceBitsPerPixel);
        mainWindow->AttachSurface(surface);
    }
    BuildCrcTable();
}

Checker::~Checker() {
    if (surface != nullptr) {
        // The main window outlives this object and still paints on WM_PAINT: it must not be
        // left pointing at freed memory.
        mainWindow->DetachSurface();
        surface->Release();
        delete surface;
        surface = nullptr;
    }
    // mutexHandle closes itself.
}

void Checker::BuildCrcTable() {
    ::BuildCrcTable(crcTable);
}

bool Checker::VerifyFile(const char* path, std::int32_t size, std::uint32_t crc,
                         ProgressDialog& progress, HWND owner) {
    return ::VerifyFile(crcTable, path, size, crc, progress, owner);
}

bool Checker::CheckListedFile(ProgressDialog& progress, const std::string& path,
                              const FileEntry& entry, std::int32_t& counter, std::int32_t total,
                              const char* failureText, const char* caption) {
    progress.SetFileName(path);
    ++counter;
    progress.SetCount(counter, total);
    const bool verified =
        VerifyFile(path.c_str(), entry.size, entry.crc, progress, progress.window);
    // A Stop or a quit also makes the verification fail; it is no fault of the file.
    if (mainWindow->quitRequested != 0 || progress.stopRequested != 0) {
        return false;
    }
    if (!verified) {
        const std::string message = failureText + path;
        platform::ShowMessage(progress.window, message.c_str(), caption, platform::kErrorStyle);
        return false;
    }
    return true;
}
