// Centre-symmetric reveals: two strips per step, PixelStep / 2 + 1 lines
// each, opening outward from the middle row (column) or closing in on it
// from the two edges. An odd visible size has one line without a partner,
// drawn on the first call: the middle line when opening, the last line when
// closing.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

int32_t HalfStep(uint32_t speed) { return PixelStep[speed] / 2 + 1; }

int32_t VisibleLength(const RevealArea& a, int32_t lines) { return lines == kRows ? a.vh : a.vw; }

// Lines [from, from + n): full rectangle width for rows, height for columns.
void Lines(const RevealArea& a, int32_t lines, int32_t from, int32_t n) {
  if (lines == kRows) {
    DrawPart(a, 0, from, a.w, n);
  } else {
    DrawPart(a, from, 0, n, a.h);
  }
}

// `extent` holds the visible size; `step` the lines opened on each side.
// Rows: a remainder smaller than a half step joins the step before it, so
// that step opens all the rest. Columns: the last step is simply shorter.
int32_t OpenSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t size = VisibleLength(a, lines);
  if ((size & 1) != 0) Lines(a, lines, size >> 1, 1);
  return SetUpExtent(e, a, size);
}

int32_t OpenStep(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t size = e->extent;
  const int32_t half = size >> 1;
  const int32_t odd = size & 1;
  const int32_t step = e->step;
  if (step >= half) return -1;
  const int32_t h = HalfStep(a.speed);
  int32_t next = step + h;
  if (lines == kRows) {
    if (half - next < h) next = half;
  } else {
    next = std::min(next, half);
  }
  const int32_t n = next - step;
  Lines(a, lines, half + step + odd, n);
  Lines(a, lines, half - next, n);
  e->step = next;
  return e->stepDelay;
}

// `extent` holds half the visible size; `step` the lines closed from each
// edge. A single line (or none) leaves nothing to close on: that line is
// the whole image, shown at once.
int32_t CloseSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t size = VisibleLength(a, lines);
  if ((size & 1) != 0) Lines(a, lines, size - 1, 1);
  return SetUpExtent(e, a, size >> 1);
}

int32_t CloseStep(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t end = e->extent;
  const int32_t step = e->step;
  if (step >= end) return -1;
  const int32_t next = std::min(step + HalfStep(a.speed), end);
  const int32_t n = next - step;
  Lines(a, lines, step, n);
  Lines(a, lines, 2 * end - next, n);
  e->step = next;
  return e->stepDelay;
}

}  // namespace

int32_t OpenFromMiddleRow(ElementNode* e, DestRect* r) { return DriveReveal(e, r, OpenSetUp, OpenStep, kRows); }
int32_t OpenFromMiddleColumn(ElementNode* e, DestRect* r) { return DriveReveal(e, r, OpenSetUp, OpenStep, kColumns); }
int32_t CloseToMiddleRow(ElementNode* e, DestRect* r) { return DriveReveal(e, r, CloseSetUp, CloseStep, kRows); }
int32_t CloseToMiddleColumn(ElementNode* e, DestRect* r) { return DriveReveal(e, r, CloseSetUp, CloseStep, kColumns); }

}  // namespace ledview
