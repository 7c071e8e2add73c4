#include "sound/KeyPositions.h"

#include <array>
#include <cstdint>

#include "sound/SoundTheme.h"

namespace plinka {

namespace {

struct KeyPlace {
    int keyCode;
    float x;  // the key's middle, in key widths from the keyboard's left edge
};

// A full-size keyboard, row by row: the letter block is 15 keys wide, the navigation keys
// follow at 15.25 and the keypad at 18.5.
constexpr std::array kPlaces{
    // Escape and the function keys, with F13 to F15 above the navigation keys and F16 to F20
    // above the keypad (as extended keyboards have them).
    KeyPlace{0x35, 0.5f},
    KeyPlace{0x7A, 2.5f},
    KeyPlace{0x78, 3.5f},
    KeyPlace{0x63, 4.5f},
    KeyPlace{0x76, 5.5f},
    KeyPlace{0x60, 7.0f},
    KeyPlace{0x61, 8.0f},
    KeyPlace{0x62, 9.0f},
    KeyPlace{0x64, 10.0f},
    KeyPlace{0x65, 11.5f},
    KeyPlace{0x6D, 12.5f},
    KeyPlace{0x67, 13.5f},
    KeyPlace{0x6F, 14.5f},
    KeyPlace{0x69, 15.75f},
    KeyPlace{0x6B, 16.75f},
    KeyPlace{0x71, 17.75f},
    KeyPlace{0x6A, 19.0f},
    KeyPlace{0x40, 20.0f},
    KeyPlace{0x4F, 21.0f},
    KeyPlace{0x50, 22.0f},
    KeyPlace{0x5A, 22.0f},
    // The volume keys, where keyboards that have them put them: top right.
    KeyPlace{0x4A, 15.75f},
    KeyPlace{0x49, 16.75f},
    KeyPlace{0x48, 17.75f},
    // The number row.
    KeyPlace{0x32, 0.5f},
    KeyPlace{0x12, 1.5f},
    KeyPlace{0x13, 2.5f},
    KeyPlace{0x14, 3.5f},
    KeyPlace{0x15, 4.5f},
    KeyPlace{0x17, 5.5f},
    KeyPlace{0x16, 6.5f},
    KeyPlace{0x1A, 7.5f},
    KeyPlace{0x1C, 8.5f},
    KeyPlace{0x19, 9.5f},
    KeyPlace{0x1D, 10.5f},
    KeyPlace{0x1B, 11.5f},
    KeyPlace{0x18, 12.5f},
    KeyPlace{0x5D, 13.5f},
    KeyPlace{0x33, 14.0f},
    KeyPlace{0x72, 15.75f},
    KeyPlace{0x73, 16.75f},
    KeyPlace{0x74, 17.75f},
    KeyPlace{0x47, 19.0f},
    KeyPlace{0x51, 20.0f},
    KeyPlace{0x4B, 21.0f},
    KeyPlace{0x43, 22.0f},
    // The top letter row.
    KeyPlace{0x30, 0.75f},
    KeyPlace{0x0C, 2.0f},
    KeyPlace{0x0D, 3.0f},
    KeyPlace{0x0E, 4.0f},
    KeyPlace{0x0F, 5.0f},
    KeyPlace{0x11, 6.0f},
    KeyPlace{0x10, 7.0f},
    KeyPlace{0x20, 8.0f},
    KeyPlace{0x22, 9.0f},
    KeyPlace{0x1F, 10.0f},
    KeyPlace{0x23, 11.0f},
    KeyPlace{0x21, 12.0f},
    KeyPlace{0x1E, 13.0f},
    KeyPlace{0x2A, 14.25f},
    KeyPlace{0x75, 15.75f},
    KeyPlace{0x77, 16.75f},
    KeyPlace{0x79, 17.75f},
    KeyPlace{0x59, 19.0f},
    KeyPlace{0x5B, 20.0f},
    KeyPlace{0x5C, 21.0f},
    KeyPlace{0x4E, 22.0f},
    // The home row.
    KeyPlace{0x39, 0.875f},
    KeyPlace{0x00, 2.25f},
    KeyPlace{0x01, 3.25f},
    KeyPlace{0x02, 4.25f},
    KeyPlace{0x03, 5.25f},
    KeyPlace{0x05, 6.25f},
    KeyPlace{0x04, 7.25f},
    KeyPlace{0x26, 8.25f},
    KeyPlace{0x28, 9.25f},
    KeyPlace{0x25, 10.25f},
    KeyPlace{0x29, 11.25f},
    KeyPlace{0x27, 12.25f},
    KeyPlace{0x24, 13.875f},
    KeyPlace{0x56, 19.0f},
    KeyPlace{0x57, 20.0f},
    KeyPlace{0x58, 21.0f},
    KeyPlace{0x45, 22.0f},
    // The bottom letter row, with the key some layouts have beside the left Shift.
    KeyPlace{0x38, 1.125f},
    KeyPlace{0x0A, 1.5f},
    KeyPlace{0x06, 2.75f},
    KeyPlace{0x07, 3.75f},
    KeyPlace{0x08, 4.75f},
    KeyPlace{0x09, 5.75f},
    KeyPlace{0x0B, 6.75f},
    KeyPlace{0x2D, 7.75f},
    KeyPlace{0x2E, 8.75f},
    KeyPlace{0x2B, 9.75f},
    KeyPlace{0x2F, 10.75f},
    KeyPlace{0x2C, 11.75f},
    KeyPlace{0x5E, 12.25f},
    KeyPlace{0x3C, 13.625f},
    KeyPlace{0x7E, 16.75f},
    KeyPlace{0x53, 19.0f},
    KeyPlace{0x54, 20.0f},
    KeyPlace{0x55, 21.0f},
    KeyPlace{0x4C, 22.0f},
    // The space bar row; Fn where laptops have it, the Japanese keys beside the space bar.
    KeyPlace{0x3F, 0.625f},
    KeyPlace{0x3B, 0.625f},
    KeyPlace{0x37, 1.875f},
    KeyPlace{0x3A, 3.125f},
    KeyPlace{0x66, 3.5f},
    KeyPlace{0x31, 6.875f},
    KeyPlace{0x68, 10.25f},
    KeyPlace{0x3D, 10.625f},
    KeyPlace{0x36, 11.875f},
    KeyPlace{0x6E, 13.125f},
    KeyPlace{0x3E, 14.375f},
    KeyPlace{0x7B, 15.75f},
    KeyPlace{0x7D, 16.75f},
    KeyPlace{0x7C, 17.75f},
    KeyPlace{0x52, 19.5f},
    KeyPlace{0x41, 21.0f},
    KeyPlace{0x5F, 21.0f},
};

// The letter block's middle is heard in the middle; a keyboard's width is heard over less than
// the whole stereo field, as a typist in front of it hears it.
constexpr float kMiddle = 7.5f;
constexpr float kWidthsPerFullPan = 18.75f;

constexpr std::array<float, SoundTheme::kSlotCount> positionsByKeyCode() {
    std::array<float, SoundTheme::kSlotCount> positions{};
    for (const KeyPlace& place : kPlaces) {
        positions[static_cast<size_t>(place.keyCode)] = (place.x - kMiddle) / kWidthsPerFullPan;
    }
    return positions;
}

constexpr auto kPositions = positionsByKeyCode();

}  // namespace

float stereoPositionForKeyCode(int keyCode) {
    const auto index = static_cast<uint32_t>(keyCode);
    return index < kPositions.size() ? kPositions[index] : 0.0f;
}

}  // namespace plinka
