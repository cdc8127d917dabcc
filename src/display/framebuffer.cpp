#include "display/framebuffer.h"

#include <cstring>

#include "display/border.h"
#include "display/drawops.h"
#include "display/ledconfig.h"

namespace ledview {

FrameBuffer framebuffer;
DrawOps drawops;
const BorderType* bordertable = byteborders;

namespace {

uint32_t HalfShift(uint32_t sigheight) {
  for (uint32_t i = 0; i < 12; ++i) {
    if (sigheight == (1u << i)) return i;
  }
  return 0;
}

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
}

void ClearFrameBuffer() { std::memset(framebuffer.pixels, 0, sizeof framebuffer.pixels); }

}  // namespace ledview
