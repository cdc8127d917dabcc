// The scan-ordered framebuffer. In colour mode 1 one byte carries two pixels
// of a column, sigheight rows apart (bit values 1 and 2); in colour modes 2
// and 4 each byte is one pixel's colour value (bit 0 red, 1 green, 2 blue).
#pragma once
#include <cstdint>

namespace ledview {

inline constexpr uint32_t kFrameBufferBytes = 1048576;

struct alignas(4096) FrameBuffer {
  uint32_t curfbpitch;
  uint32_t fbwidth;
  uint32_t fbheight;
  uint32_t halfshift;
  uint32_t bandshift;
  uint32_t rowmask;
  uint32_t bandoffset[32];
  uint32_t rowoffset[16];
  // Half a page into a page-aligned record: the cost of drawing does not
  // depend on where the linker places the buffer, and rows copied between it
  // and large heap blocks (which start near a page boundary) are never a
  // multiple of 4096 bytes apart, where the processor would take loads for
  // aliases of recent stores.
  alignas(2048) uint8_t pixels[kFrameBufferBytes];
};

extern FrameBuffer framebuffer;

// Byte that holds pixel (x, y) in the current layout.
inline uint8_t* PixelAddress(uint32_t x, uint32_t y, uint8_t depth) {
  FrameBuffer& fb = framebuffer;
  if (depth == 1) {
    return fb.pixels + fb.bandoffset[(y >> fb.bandshift) & 31] + fb.rowoffset[y & fb.rowmask & 15] + x;
  }
  return fb.pixels + y * fb.curfbpitch + x;
}

// Bit of pixel row y within its byte, colour mode 1 only.
inline uint8_t PixelBit(uint32_t y) {
  return static_cast<uint8_t>(1u << ((y >> framebuffer.halfshift) & 1));
}

void Init2DEnv();
void ClearFrameBuffer();

}  // namespace ledview
