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

// Lines [from, from + n): full rectangle width for rows, height for columns.
void Lines(const RevealArea& a, bool rows, int32_t from, int32_t n) {
  if (rows) {
    DrawPart(a, 0, from, a.w, n);
  } else {
    DrawPart(a, from, 0, n, a.h);
  }
}

// `extent` holds the visible size; `step` the lines opened on each side.
// Rows: a remainder smaller than a half step joins the step before it, so
// that step opens all the rest. Columns: the last step is simply shorter.
int32_t Open(ElementNode* e, DestRect* r, bool rows) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->extent == 0) {
    e->stepDelay = Word(FirstDelay[a.speed]);
    const int32_t size = rows ? a.vh : a.vw;
    if (size == 0) return ShowAndFinish(a);
    e->extent = Word(size);
    if ((size & 1) != 0) Lines(a, rows, size >> 1, 1);
    return Signed(e->stepDelay);
  }
  const int32_t size = Signed(e->extent);
  const int32_t half = size >> 1;
  const int32_t odd = size & 1;
  const int32_t step = Signed(e->step);
  if (step >= half) return -1;
  const int32_t h = HalfStep(a.speed);
  int32_t next = step + h;
  if (rows) {
    if (half - next < h) next = half;
  } else {
    next = std::min(next, half);
  }
  const int32_t n = next - step;
  Lines(a, rows, half + step + odd, n);
  Lines(a, rows, half - next, n);
  e->step = Word(next);
  return Signed(e->stepDelay);
}

// `extent` holds half the visible size; `step` the lines closed from each
// edge.
int32_t Close(ElementNode* e, DestRect* r, bool rows) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->extent == 0) {
    e->stepDelay = Word(FirstDelay[a.speed]);
    const int32_t size = rows ? a.vh : a.vw;
    if ((size & 1) != 0) Lines(a, rows, size - 1, 1);
    // A single line (or none) leaves nothing to close on: that line is the
    // whole image, shown now.
    if ((size >> 1) == 0) return ShowAndFinish(a);
    e->extent = Word(size >> 1);
    return Signed(e->stepDelay);
  }
  const int32_t end = Signed(e->extent);
  const int32_t step = Signed(e->step);
  if (step >= end) return -1;
  const int32_t next = std::min(step + HalfStep(a.speed), end);
  const int32_t n = next - step;
  Lines(a, rows, step, n);
  Lines(a, rows, 2 * end - next, n);
  e->step = Word(next);
  return Signed(e->stepDelay);
}

}  // namespace

int32_t OpenFromMiddleRow(ElementNode* e, DestRect* r) { return Open(e, r, true); }
int32_t OpenFromMiddleColumn(ElementNode* e, DestRect* r) { return Open(e, r, false); }
int32_t CloseToMiddleRow(ElementNode* e, DestRect* r) { return Close(e, r, true); }
int32_t CloseToMiddleColumn(ElementNode* e, DestRect* r) { return Close(e, r, false); }

}  // namespace ledview
