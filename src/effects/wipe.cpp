// Wipes: the image is revealed strip by strip from one edge, PixelStep
// columns (rows) per step.
#include "effects/reveal.h"

namespace ledview {

namespace {

// Columns (or rows) [from, from + n): full rectangle height (width).
void Strip(const RevealArea& a, bool columns, int32_t from, int32_t n) {
  if (columns) {
    DrawPart(a, from, 0, n, a.h);
  } else {
    DrawPart(a, 0, from, a.w, n);
  }
}

// From the left (top) edge; the step that reaches the far edge finishes.
int32_t WipeForward(ElementNode* e, DestRect* r, bool columns) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->extent == 0) {
    e->stepDelay = Word(FirstDelay[a.speed]);
    const int32_t end = columns ? a.vw : a.vh;
    if (end == 0) return ShowAndFinish(a);
    e->extent = Word(end);
    return Signed(e->stepDelay);
  }
  const int32_t step = Signed(e->step);
  const int32_t end = Signed(e->extent);
  const int32_t next = step + PixelStep[a.speed];
  if (next >= end) {
    Strip(a, columns, step, end - step);
    return -1;
  }
  Strip(a, columns, step, PixelStep[a.speed]);
  e->step = Word(next);
  return Signed(e->stepDelay);
}

// From the right (bottom) edge: `step` counts down from the visible size and
// the last strip is the first s columns (rows).
int32_t WipeBackward(ElementNode* e, DestRect* r, bool columns) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->extent == 0) {
    e->stepDelay = Word(FirstDelay[a.speed]);
    const int32_t end = columns ? a.vw : a.vh;
    if (end == 0) return ShowAndFinish(a);
    e->extent = Word(end);
    e->step = Word(end);
    return Signed(e->stepDelay);
  }
  const int32_t s = PixelStep[a.speed];
  const int32_t step = Signed(e->step) - s;
  e->step = Word(step);
  if (step < 1) {
    Strip(a, columns, 0, s);
    return -1;
  }
  Strip(a, columns, step, s);
  return Signed(e->stepDelay);
}

}  // namespace

int32_t WipeRight(ElementNode* e, DestRect* r) { return WipeForward(e, r, true); }
int32_t WipeLeft(ElementNode* e, DestRect* r) { return WipeBackward(e, r, true); }
int32_t WipeDown(ElementNode* e, DestRect* r) { return WipeForward(e, r, false); }
int32_t WipeUp(ElementNode* e, DestRect* r) { return WipeBackward(e, r, false); }

}  // namespace ledview
