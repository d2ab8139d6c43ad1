#include "screenshot.h"

#include <cstdio>
#include <functional>
#include <memory>

namespace e2e {
namespace {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_ != nullptr)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

}  // namespace

bool DrawPixels(int width, int height, const std::function<bool(HDC)>& draw, Pixels* pixels) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    std::unique_ptr<HDC__, DcDeleter> memory;
    {
        ScreenDc screen;
        memory.reset(CreateCompatibleDC(screen.get()));
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    std::unique_ptr<void, ObjectDeleter> bitmap(
        CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (memory == nullptr || bitmap == nullptr || bits == nullptr) {
        return false;
    }
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const bool drawn = draw(memory.get());
    GdiFlush();
    SelectObject(memory.get(), previous);
    if (!drawn) {
        return false;
    }
    pixels->width = width;
    pixels->height = height;
    const std::uint32_t* source = static_cast<const std::uint32_t*>(bits);
    pixels->data.assign(source, source + static_cast<size_t>(width) * height);
    for (std::uint32_t& pixel : pixels->data) {
        pixel &= 0x00FFFFFF;
    }
    return true;
}

bool CaptureScreen(const RECT& area, Pixels* pixels) {
    ScreenDc screen;
    if (screen.get() == nullptr) {
        return false;
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    return DrawPixels(
        width, height,
        [&](HDC memory) {
            return BitBlt(memory, 0, 0, width, height, screen.get(), area.left, area.top,
                          SRCCOPY) != 0;
        },
        pixels);
}

bool SaveScreen(const std::string& path, std::string* error) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Pixels pixels;
    if (!CaptureScreen(area, &pixels)) {
        *error = "cannot copy the screen";
        return false;
    }
    int rowBytes = (pixels.width * 3 + 3) & ~3;
    BITMAPFILEHEADER fileHeader = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = pixels.height;  // bottom up, the usual BMP order
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes) * pixels.height;
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        *error = "cannot create the file";
        return false;
    }
    std::fwrite(&fileHeader, sizeof fileHeader, 1, file.get());
    std::fwrite(&header, sizeof header, 1, file.get());
    std::vector<unsigned char> row(static_cast<size_t>(rowBytes), 0);
    for (int y = pixels.height - 1; y >= 0; --y) {
        for (int x = 0; x < pixels.width; ++x) {
            std::uint32_t pixel = pixels.At(x, y);
            row[x * 3] = static_cast<unsigned char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>((pixel >> 16) & 0xFF);
        }
        if (std::fwrite(row.data(), row.size(), 1, file.get()) != 1) {
            *error = "cannot write the file";
            return false;
        }
    }
    return true;
}

}  // namespace e2e
