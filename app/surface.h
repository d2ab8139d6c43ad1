// An off-screen image store for a window: up to ten slots, each a bitmap section selected
// into its own memory device context, and the window's device context to copy them onto.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

class Surface {
  public:
    static constexpr std::int32_t kSlotCount = 10;

    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Takes the window's device context. 0 when one is held already (nothing changes).
    int Attach(HWND target);
    // Creates a top-down bitmap section of the given size, black. 0 when the slot number is
    // out of range or the slot is in use (nothing changes).
    int CreateSlot(std::int32_t slotWidth, std::int32_t slotHeight, std::int32_t slot,
                   std::int32_t bitsPerPixel);
    // Copies the slot to the window's origin, unscaled. 0 when there is nothing to copy.
    int Blit(std::int32_t slot);
    // Gives back every slot and the window's device context.
    void Release();

    HDC windowDc = nullptr;
    HWND window = nullptr;
    std::int32_t slotCount = 0;
    std::array<HDC, kSlotCount> memoryDc{};
    std::array<void*, kSlotCount> bits{};
    std::array<std::int32_t, kSlotCount> width{};
    std::array<std::int32_t, kSlotCount> height{};
    std::array<HGDIOBJ, kSlotCount> previousBitmap{};

  private:
    static bool IsSlotNumber(std::int32_t slot) { return slot >= 0 && slot < kSlotCount; }
};
