#include "display/framebuffer.h"

#include <algorithm>
#include <cstring>

#include "display/border.h"
#include "display/drawops.h"
#include "display/ledconfig.h"
#include "graphics/graphics.h"

namespace ledview {

FrameBuffer framebuffer;
DrawOps drawops;
GlyphSource glyphsource = nullptr;
const BorderType* bordertable = byteborders;

namespace {

uint32_t HalfShift(uint32_t sigheight) {
  for (uint32_t i = 0; i < 12; ++i) {
    if (sigheight == (1u << i)) return i;
  }
  return 0;
}

// The graphics context's driver: the drawing slots, with every call kept
// inside the framebuffer whatever a context's clip rectangle says.
void GfxFillRect(uintptr_t, const GfxRect* r, int32_t colour) {
  const int32_t x0 = std::max<int32_t>(r->x, 0);
  const int32_t y0 = std::max<int32_t>(r->y, 0);
  const int32_t x1 = std::min<int32_t>(r->x + r->width, static_cast<int32_t>(framebuffer.fbwidth));
  const int32_t y1 = std::min<int32_t>(r->y + r->height, static_cast<int32_t>(framebuffer.fbheight));
  if (x0 >= x1 || y0 >= y1) return;
  const DestRect d{static_cast<uint16_t>(x0), static_cast<uint16_t>(y0), static_cast<uint16_t>(x1 - x0),
                   static_cast<uint16_t>(y1 - y0)};
  drawops.FillRect(&d, static_cast<uint8_t>(colour));
}

void GfxSetPixel(uintptr_t, int32_t x, int32_t y, int32_t colour) {
  if (x < 0 || y < 0 || static_cast<uint32_t>(x) >= framebuffer.fbwidth ||
      static_cast<uint32_t>(y) >= framebuffer.fbheight) {
    return;
  }
  drawops.SetPixel(x, y, static_cast<uint8_t>(colour));
}

void GfxHLine(uintptr_t, int32_t y, int32_t x0, int32_t x1, int32_t colour) {
  if (y < 0 || static_cast<uint32_t>(y) >= framebuffer.fbheight) return;
  x0 = std::max<int32_t>(x0, 0);
  x1 = std::min<int32_t>(x1, static_cast<int32_t>(framebuffer.fbwidth));
  if (x0 < x1) drawops.DrawHLine(y, x0, x1, static_cast<uint8_t>(colour));
}

constexpr GraphicsDriver kFrameBufferDriver{GfxFillRect, GfxSetPixel, GfxHLine};

}  // namespace

void Init2DEnv() {
  LedConfig& cfg = ledconfig;
  FrameBuffer& fb = framebuffer;
  const uint32_t sigheight = cfg.sigheight;
  if (cfg.depth >= 3) cfg.depth = 4;
  const int32_t depth = cfg.depth > 0 ? cfg.depth : 1;

  fb.fbheight = static_cast<uint32_t>((static_cast<int32_t>(sigheight << 5) / depth) << 1);
  if (fb.fbheight == 0) fb.fbheight = 1;
  fb.fbwidth = kFrameBufferBytes / fb.fbheight;
  const DrawOps* ops = &bytedrawops;
  bordertable = byteborders;
  if (depth == 4) fb.fbwidth >>= 1;
  if (depth == 1) {
    ops = &bitplanedrawops;
    fb.fbwidth *= 2;
    bordertable = bitplaneborders;
  }

  if (cfg.height > fb.fbheight) {
    cfg.height = static_cast<uint16_t>(fb.fbheight);
  } else if (cfg.height <= fb.fbheight / 2) {
    fb.fbheight /= 2;
    fb.fbwidth *= 2;
  }
  if (cfg.width > fb.fbwidth) cfg.width = static_cast<uint16_t>(fb.fbwidth);

  fb.curfbpitch = fb.fbwidth;
  fb.rowmask = sigheight - 1;
  fb.halfshift = HalfShift(sigheight);
  fb.bandshift = fb.halfshift + 1;
  for (uint32_t i = 0; i < 32; ++i) fb.bandoffset[i] = i * sigheight * fb.curfbpitch;
  for (uint32_t i = 0; i < 16; ++i) fb.rowoffset[i] = i * fb.curfbpitch;
  drawops = *ops;
  graphicscontext = CreateGraphicsContext(&kFrameBufferDriver, 0, static_cast<uint16_t>(fb.fbwidth),
                                          static_cast<uint16_t>(fb.fbheight));
}

void ClearFrameBuffer() { std::memset(framebuffer.pixels, 0, sizeof framebuffer.pixels); }

}  // namespace ledview
