// Screen pictures: the whole screen as a 24-bit BMP file, and a rectangle of it as pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// 0x00RRGGBB per pixel, rows top down.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;
    std::uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

bool CaptureScreen(const RECT& area, Pixels* pixels);
bool SaveScreen(const std::string& path, std::string* error);

}  // namespace e2e
