// Effects that show the whole image at once: Instant, Blink and DotOverlay.
#include "display/drawops.h"
#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kBlinkLastStep = 20;  // even: the blinking ends shown
constexpr int32_t kBlinkDelay = 20;     // ticks, whatever the speed
constexpr int32_t kDotFirstRow = 2;      // rows kept free at the top and bottom
constexpr int32_t kDotRowStep = 5;
constexpr int32_t kDotColumnStep = 7;
constexpr int32_t kDotOddRowShift = 3;

}  // namespace

int32_t Instant(ElementNode* e, DestRect* r) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  return ShowAndFinish(a);
}

int32_t Blink(ElementNode* e, DestRect* r) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->step > kBlinkLastStep) {
    // Exit effects that keep a left-over delay must not inherit the 20 ticks.
    e->stepDelay = 0;
    return -1;
  }
  if ((e->step & 1) != 0) {
    ClearWhole(a);
  } else {
    DrawWhole(a);
  }
  e->step += 1;
  e->stepDelay = kBlinkDelay;
  return kBlinkDelay;
}

namespace {

// DotOverlay waits the delay the element brings, or else a band delay.
void TakeDotDelay(ElementNode* e, const RevealArea& a) {
  if (e->stepDelay == 0) e->stepDelay = BandDelay[a.speed];
}

// `step` and `extent` hold framebuffer rows: the next dotted row and the row
// the dots stop before.
int32_t DotSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  TakeDotDelay(e, a);
  ClearWhole(a);
  DrawWhole(a);
  const int32_t last = a.y + a.vh - kDotFirstRow;
  // An end row of 0 would read as "not set up" on the next call; there is
  // no row for a dot then, so the effect is already done.
  if (last == 0) return -1;
  e->step = a.y + kDotFirstRow;
  e->extent = last;
  return e->stepDelay;
}

int32_t DotStep(ElementNode* e, const RevealArea& a, int32_t) {
  TakeDotDelay(e, a);
  const int32_t row = e->step;
  if (row >= e->extent) {
    ClearWhole(a);
    return ShowAndFinish(a);
  }
  // The dot is two rows high; a rectangle that shrank since the start keeps
  // it out.
  if (row >= a.y && row + 2 <= a.y + a.h) {
    const int32_t first = a.x + ((row & 1) != 0 ? kDotOddRowShift : 0);
    for (int32_t column = first; column < a.x + a.w; column += kDotColumnStep) {
      const DestRect dot{static_cast<uint16_t>(column), static_cast<uint16_t>(row), 1, 2};
      drawops.BlitBytes(&dot, DotRows);
    }
  }
  e->step = row + kDotRowStep;
  return e->stepDelay;
}

}  // namespace

int32_t DotOverlay(ElementNode* e, DestRect* r) { return DriveReveal(e, r, DotSetUp, DotStep); }

}  // namespace ledview
