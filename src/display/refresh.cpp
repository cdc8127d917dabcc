#include "display/refresh.h"

#include <cstring>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"

namespace ledview {

int32_t linkflag = 0;
LinkIndicator linkindicator;

// Colour values: 1 red, 2 green.
const uint8_t LinkFrames[kLinkFrames][kLinkSide * kLinkSide] = {
    {0, 0, 0, 0, 0, 0, 0, 0,  //
     0, 0, 1, 1, 1, 1, 0, 0,  //
     0, 1, 0, 0, 0, 0, 1, 0,  //
     0, 2, 0, 0, 0, 1, 1, 1,  //
     2, 2, 2, 0, 0, 0, 1, 0,  //
     0, 2, 0, 0, 0, 0, 2, 0,  //
     0, 0, 2, 2, 2, 2, 0, 0,  //
     0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 2, 0, 0, 0, 0,  //
     0, 0, 2, 2, 2, 1, 0, 0,  //
     0, 2, 0, 2, 0, 0, 1, 0,  //
     0, 2, 0, 0, 0, 0, 1, 0,  //
     0, 2, 0, 0, 0, 0, 1, 0,  //
     0, 2, 0, 0, 1, 0, 1, 0,  //
     0, 0, 2, 1, 1, 1, 0, 0,  //
     0, 0, 0, 0, 1, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0,  //
     0, 0, 2, 2, 2, 2, 0, 0,  //
     0, 2, 0, 0, 0, 0, 2, 0,  //
     0, 1, 0, 0, 0, 2, 2, 2,  //
     1, 1, 1, 0, 0, 0, 2, 0,  //
     0, 1, 0, 0, 0, 0, 1, 0,  //
     0, 0, 1, 1, 1, 1, 0, 0,  //
     0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 1, 0, 0, 0, 0,  //
     0, 0, 1, 1, 1, 2, 0, 0,  //
     0, 1, 0, 1, 0, 0, 2, 0,  //
     0, 1, 0, 0, 0, 0, 2, 0,  //
     0, 1, 0, 0, 0, 0, 2, 0,  //
     0, 1, 0, 0, 2, 0, 2, 0,  //
     0, 0, 1, 2, 2, 2, 0, 0,  //
     0, 0, 0, 0, 2, 0, 0, 0},
};

namespace {

// One row of colour mode 1: the pixels of this row are one bit of each
// byte, so eight of them come out of a word at once.
void CopyBitRow(uint8_t* out, const uint8_t* in, uint32_t columns, uint32_t shift) {
  constexpr uint64_t kLowBits = 0x0101010101010101ull;
  uint32_t x = 0;
  for (; x + 8 <= columns; x += 8) {
    uint64_t v;
    std::memcpy(&v, in + x, 8);
    v = (v >> shift) & kLowBits;
    std::memcpy(out + x, &v, 8);
  }
  for (; x < columns; ++x) out[x] = static_cast<uint8_t>((in[x] >> shift) & 1);
}

}  // namespace

void CopyOut(uint8_t* buffer, int64_t pitch, int32_t rows, int32_t columns) {
  if (buffer == nullptr || rows <= 0 || columns <= 0 || pitch < columns) return;
  const FrameBuffer& fb = framebuffer;
  const uint32_t h = static_cast<uint32_t>(rows) < fb.fbheight ? static_cast<uint32_t>(rows) : fb.fbheight;
  const uint32_t w = static_cast<uint32_t>(columns) < fb.fbwidth ? static_cast<uint32_t>(columns) : fb.fbwidth;
  const uint8_t depth = ledconfig.depth;
  for (uint32_t y = 0; y < h; ++y) {
    uint8_t* out = buffer + static_cast<int64_t>(y) * pitch;
    if (depth == 1) {
      CopyBitRow(out, PixelAddress(0, y, 1), w, (y >> fb.halfshift) & 1);
    } else {
      std::memcpy(out, fb.pixels + static_cast<size_t>(y) * fb.curfbpitch, w);
    }
  }
}

void DrawLinkIndicator() {
  LinkIndicator& li = linkindicator;
  const FrameBuffer& fb = framebuffer;
  for (uint32_t r = 0; r < kLinkSide; ++r) {
    std::memcpy(li.saved + r * kLinkSide, fb.pixels + r * fb.curfbpitch, kLinkSide);
  }
  const DestRect corner{0, 0, kLinkSide, kLinkSide};
  drawops.BlitBytes(&corner, LinkFrames[li.frame]);
  if (++li.counter >= kLinkFrameDraws) {
    li.counter = 0;
    li.frame = (li.frame + 1) % kLinkFrames;
  }
}

void RemoveLinkIndicator() {
  const LinkIndicator& li = linkindicator;
  FrameBuffer& fb = framebuffer;
  for (uint32_t r = 0; r < kLinkSide; ++r) {
    std::memcpy(fb.pixels + r * fb.curfbpitch, li.saved + r * kLinkSide, kLinkSide);
  }
}

}  // namespace ledview
