// Screen pictures: the whole screen as a 24-bit BMP file, and a rectangle of it as pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
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

// Runs `draw` on a memory device context holding a 32-bit top-down bitmap of the given size,
// then takes the bitmap's pixels. False when the bitmap cannot be made or `draw` fails.
bool DrawPixels(int width, int height, const std::function<bool(HDC)>& draw, Pixels* pixels);
bool CaptureScreen(const RECT& area, Pixels* pixels);
bool SaveScreen(const std::string& path, std::string* error);

}  // namespace e2e
