#include "app/surface.h"

int Surface::Attach(HWND target) {
    if (windowDc != nullptr) {
        return 0;
    }
    // The window class has CS_OWNDC, so this context stays valid for the window's life and
    // serves every blit.
    windowDc = GetDC(target);
    window = target;
    return 1;
}

int Surface::CreateSlot(std::int32_t slotWidth, std::int32_t slotHeight, std::int32_t slot,
                        std::int32_t bitsPerPixel) {
    if (!IsSlotNumber(slot) || memoryDc[slot] != nullptr) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(slot);
    memoryDc[index] = CreateCompatibleDC(windowDc);

    BITMAPINFO info{};
    BITMAPINFOHEADER& header = info.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = slotWidth;
    // A negative height makes the section top-down: the first row in memory is the top row.
    header.biHeight = -slotHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage =
        static_cast<DWORD>(static_cast<std::int64_t>(bitsPerPixel / 8) * slotWidth * slotHeight);

    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits[index], nullptr, 0);
    previousBitmap[index] = SelectObject(memoryDc[index], section);
    PatBlt(memoryDc[index], 0, 0, slotWidth, slotHeight, BLACKNESS);

    width[index] = slotWidth;
    height[index] = slotHeight;
    ++slotCount;
    return 1;
}

int Surface::Blit(std::int32_t slot) {
    if (windowDc == nullptr || !IsSlotNumber(slot) || memoryDc[slot] == nullptr) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(slot);
    BitBlt(windowDc, 0, 0, width[index], height[index], memoryDc[index], 0, 0, SRCCOPY);
    return 1;
}

void Surface::Release() {
    for (std::size_t index = 0; index < memoryDc.size(); ++index) {
        if (memoryDc[index] == nullptr) {
            continue;
        }
        // Selecting the original bitmap back hands out the section, which is then free to go.
        DeleteObject(SelectObject(memoryDc[index], previousBitmap[index]));
        DeleteDC(memoryDc[index]);
        memoryDc[index] = nullptr;
        bits[index] = nullptr;
        previousBitmap[index] = nullptr;
    }
    slotCount = 0;
    if (windowDc != nullptr) {
        ReleaseDC(window, windowDc);
        windowDc = nullptr;
    }
}
