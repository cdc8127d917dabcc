#include "effects/reveal.h"

#include <algorithm>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "memory/arena.h"

namespace ledview {

namespace {

// The drawing operations take 16-bit signed coordinates.
constexpr int64_t kCoordinateEnd = 32768;

// Cuts the strip (du, dv, w, h) to the rectangle, moving its source corner
// along when the left or top edge moves. False when nothing is left.
bool CutToRect(const RevealArea& a, int32_t* su, int32_t* sv, int32_t* du, int32_t* dv, int32_t* w, int32_t* h) {
  int64_t sx = *su, sy = *sv, dx = *du, dy = *dv, cw = *w, ch = *h;
  if (dx < 0) {
    sx -= dx;
    cw += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    ch += dy;
    dy = 0;
  }
  cw = std::min<int64_t>(cw, a.w - dx);
  ch = std::min<int64_t>(ch, a.h - dy);
  if (cw <= 0 || ch <= 0) return false;
  *su = static_cast<int32_t>(sx);
  *sv = static_cast<int32_t>(sy);
  *du = static_cast<int32_t>(dx);
  *dv = static_cast<int32_t>(dy);
  *w = static_cast<int32_t>(cw);
  *h = static_cast<int32_t>(ch);
  return true;
}

int32_t Clamp(int64_t value, int64_t low, int64_t high) {
  return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace

bool RevealBegin(const ElementNode* e, const DestRect* r, RevealArea* a) {
  if (e == nullptr || r == nullptr || e->header == nullptr) return false;
  // Drawing outside the framebuffer or beyond 16-bit coordinates is never
  // possible, whatever rectangle the caller hands in.
  const int64_t right = std::min<int64_t>(framebuffer.fbwidth, kCoordinateEnd);
  const int64_t bottom = std::min<int64_t>(framebuffer.fbheight, kCoordinateEnd);
  a->image = &e->image;
  a->x = r->x;
  a->y = r->y;
  a->w = Clamp(std::min<int64_t>(r->width, right - r->x), 0, INT32_MAX);
  a->h = Clamp(std::min<int64_t>(r->height, bottom - r->y), 0, INT32_MAX);
  const Bitmap& b = e->image;
  const bool drawable = b.pixels != nullptr && b.pitch > 0;
  a->vw = drawable ? Clamp(b.width, 0, a->w) : 0;
  a->vh = drawable ? Clamp(b.height, 0, a->h) : 0;
  a->speed = EffectSpeed(e);
  return true;
}

void DrawPartAt(const RevealArea& a, int32_t su, int32_t sv, int32_t du, int32_t dv, int32_t w, int32_t h) {
  if (!CutToRect(a, &su, &sv, &du, &dv, &w, &h)) return;
  // Source corners beyond 16 bits lie outside every image.
  if (su >= kCoordinateEnd || sv >= kCoordinateEnd || su <= -kCoordinateEnd || sv <= -kCoordinateEnd) return;
  const BlitRect blit{static_cast<int16_t>(su), static_cast<int16_t>(sv), static_cast<int16_t>(a.x + du),
                      static_cast<int16_t>(a.y + dv), static_cast<int16_t>(w), static_cast<int16_t>(h)};
  drawops.BlitBitmap(&blit, a.image);
}

void DrawPart(const RevealArea& a, int32_t u, int32_t v, int32_t w, int32_t h) { DrawPartAt(a, u, v, u, v, w, h); }

void ClearPart(const RevealArea& a, int32_t u, int32_t v, int32_t w, int32_t h) {
  int32_t su = 0, sv = 0;
  if (!CutToRect(a, &su, &sv, &u, &v, &w, &h)) return;
  const DestRect fill{static_cast<uint16_t>(a.x + u), static_cast<uint16_t>(a.y + v), static_cast<uint16_t>(w),
                      static_cast<uint16_t>(h)};
  drawops.FillRect(&fill, 0);
}

void* TakeWorkBuffer(ElementNode* e, size_t n) {
  void* block = ArenaAlloc(n);
  if (block != nullptr) e->workBuffer = block;
  return block;
}

VisibleSize* KeepVisibleSize(ElementNode* e, const RevealArea& a) {
  auto* size = static_cast<VisibleSize*>(TakeWorkBuffer(e, sizeof(VisibleSize)));
  if (size != nullptr) *size = VisibleSize{a.vw, a.vh};
  return size;
}

}  // namespace ledview
