// Text layout: a byte string in the engine's character codes and a font size
// become a 1-bit text image in the arena.
#pragma once
#include <cstdint>

namespace ledview {

// A stored 1-bit picture: this header, then height rows of pitch bytes, top
// row first, most significant bit leftmost, a set bit lit. Type 1 payloads
// and text images share the layout.
struct BmpBlock {
  uint16_t width;
  uint16_t height;
  uint32_t format;  // colour value 0..7 for 1-bit text
  uint32_t pitch;   // bytes per row
};
static_assert(sizeof(BmpBlock) == 12, "BmpBlock header is 12 bytes");
inline constexpr uint32_t kBmpHeaderBytes = sizeof(BmpBlock);

// Bytes per row of a text image: the width rounded up to whole 32-bit words.
constexpr uint32_t BmpPitch(int32_t width) { return static_cast<uint32_t>((width + 31) >> 5) * 4; }

inline uint8_t* BmpBlockRows(BmpBlock* block) {
  return reinterpret_cast<uint8_t*>(block) + kBmpHeaderBytes;
}
inline const uint8_t* BmpBlockRows(const BmpBlock* block) {
  return reinterpret_cast<const uint8_t*>(block) + kBmpHeaderBytes;
}

// Blank space between lines at size pixels: 14 % from 25 pixels up.
int32_t LineGap(int32_t size);

// Lays text (at most length bytes, NUL ends it early) out at size pixels into
// a new arena block that the caller frees with ArenaFree. width and height 0
// are measured: both 0 gives one line per line feed, a width alone wraps at
// it. Null for a null text, length <= 0, a negative width or height, a
// picture larger than 65535 pixels either way, or an exhausted arena.
BmpBlock* GetStringBmp(int32_t size, const char* text, int32_t length, uint32_t format,
                       int32_t width, int32_t height);

// Measures the picture text needs in cells of cell pixels. *width and *height
// both 0: writes the widest line and the height of all lines. *width given and
// *height 0: writes the height when wrapped at *width. *width 0 and *height
// given: writes the widest line only.
void GetStringSize(const char* text, int32_t length, int32_t cell, int32_t* width, int32_t* height);

}  // namespace ledview
