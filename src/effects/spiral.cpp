// SpiralBox: a box grows from the centre in four rings, each ring added a
// quadrant at a time clockwise from the upper right. A ring is a quarter of
// the half-size thick, so four rings reach the edges only when the half-sizes
// are multiples of 4; the finishing call shows the whole image, margins
// included.
#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kSpiralSteps = 16;  // 4 rings x 4 quadrants

struct SpiralState {
  int32_t cx;
  int32_t cy;
  int32_t rx;  // half-sizes of the box drawn so far
  int32_t ry;
};

int32_t SpiralSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  auto* st = static_cast<SpiralState*>(TakeWorkBuffer(e, sizeof(SpiralState)));
  if (st == nullptr) return ShowWithoutBuffer(a);
  *st = SpiralState{a.vw >> 1, a.vh >> 1, 0, 0};
  e->extent = kSpiralSteps;
  e->stepDelay = BandDelay[a.speed];
  return FirstDelay[a.speed];
}

int32_t SpiralStep(ElementNode* e, const RevealArea& a, void* buffer, int32_t) {
  auto* st = static_cast<SpiralState*>(buffer);
  const int32_t step = e->step;
  if (step >= e->extent || step < 0) return ShowAndFinish(a);
  const int32_t cx = st->cx, cy = st->cy;
  const int32_t dx = cx >> 2, dy = cy >> 2;
  if ((step & 3) == 0) {
    st->rx += dx;
    st->ry += dy;
  }
  const int32_t rx = st->rx, ry = st->ry;
  switch (step & 3) {
    case 0:  // upper right
      DrawPart(a, cx, cy - ry, rx, dy);
      DrawPart(a, cx + rx - dx, cy - ry, dx, ry);
      break;
    case 1:  // lower right
      DrawPart(a, cx, cy + ry - dy, rx, dy);
      DrawPart(a, cx + rx - dx, cy, dx, ry);
      break;
    case 2:  // lower left
      DrawPart(a, cx - rx, cy, dx, ry);
      DrawPart(a, cx - rx, cy + ry - dy, rx, dy);
      break;
    default:  // upper left
      DrawPart(a, cx - rx, cy - ry, dx, ry);
      DrawPart(a, cx - rx, cy - ry, rx, dy);
      break;
  }
  e->step = step + 1;
  return e->stepDelay;
}

}  // namespace

int32_t SpiralBox(ElementNode* e, DestRect* r) { return DriveBufferReveal(e, r, SpiralSetUp, SpiralStep); }

}  // namespace ledview
