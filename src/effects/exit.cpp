// Exit effects: each erases the content rectangle to colour 0, at once or a
// strip per step. They read no image and keep no work buffer.
#include <algorithm>

#include "effects/effectarea.h"
#include "effects/effects.h"

namespace ledview {

namespace {

// Clears `n` lines (columns, or rows when vertical) from line `at` on.
void ClearLines(const EffectArea& a, bool vertical, int32_t at, int32_t n) {
  if (vertical) {
    AreaClear(a, a.x, at, a.w, n);
  } else {
    AreaClear(a, at, a.y, n, a.h);
  }
}

// Slots 1 to 4: a strip of PixelStep lines per step from one edge. A delay
// left by the entry effect is kept; only an unset one takes FirstDelay.
int32_t EraseFromEdge(ElementNode* e, DestRect* r, bool vertical, bool fromfar) {
  EffectCall c;
  if (!BeginEffect(e, r, &c)) return -1;
  const int32_t len = vertical ? c.a.h : c.a.w;
  const int32_t origin = vertical ? c.a.y : c.a.x;
  const int32_t p = e->step;
  if (p < 0 || p >= len) return -1;
  const int32_t q = std::min(p + c.s, len);
  ClearLines(c.a, vertical, fromfar ? origin + len - q : origin + p, q - p);
  e->step = q;
  if (e->stepDelay == 0) e->stepDelay = FirstDelay[c.speed];
  return e->stepDelay;
}

// Slots 5 to 8: two strips per step, moving apart from the middle line
// (outward) or closing in on it from both edges. The odd middle line (or,
// closing in, the odd last line) goes on the first call.
int32_t EraseSymmetric(ElementNode* e, DestRect* r, bool vertical, bool outward) {
  EffectCall c;
  if (!BeginEffect(e, r, &c)) return -1;
  const int32_t len = vertical ? c.a.h : c.a.w;
  const int32_t origin = vertical ? c.a.y : c.a.x;
  const int32_t half = len >> 1;
  const int32_t odd = len & 1;
  if (e->extent == 0) {
    if (odd != 0) ClearLines(c.a, vertical, outward ? origin + half : origin + len - 1, 1);
    e->stepDelay = FirstDelay[c.speed];
    if (half == 0) {
      // A single line: it is gone already; the next call finishes instead of
      // setting the effect up again.
      e->extent = 1;
      e->step = 1;
    } else {
      e->extent = half;
      e->step = 0;
    }
    return e->stepDelay;
  }
  const int32_t p = e->step;
  const int32_t extent = std::min(e->extent, half);
  if (p < 0 || p >= extent) return -1;
  const int32_t q = std::min(p + PixelStep[c.speed] / 2 + 1, extent);
  const int32_t n = q - p;
  if (outward) {
    ClearLines(c.a, vertical, origin + half - q, n);
    ClearLines(c.a, vertical, origin + half + p + odd, n);
  } else {
    ClearLines(c.a, vertical, origin + p, n);
    ClearLines(c.a, vertical, origin + 2 * half - q, n);
  }
  e->step = q;
  return e->stepDelay;
}

}  // namespace

int32_t ClearInstant(ElementNode* e, DestRect* r) {
  EffectCall c;
  if (BeginEffect(e, r, &c)) AreaClear(c.a, c.a.x, c.a.y, c.a.w, c.a.h);
  return -1;
}

int32_t EraseRight(ElementNode* e, DestRect* r) { return EraseFromEdge(e, r, false, false); }
int32_t EraseLeft(ElementNode* e, DestRect* r) { return EraseFromEdge(e, r, false, true); }
int32_t EraseDown(ElementNode* e, DestRect* r) { return EraseFromEdge(e, r, true, false); }
int32_t EraseUp(ElementNode* e, DestRect* r) { return EraseFromEdge(e, r, true, true); }

int32_t EraseFromMiddleColumn(ElementNode* e, DestRect* r) { return EraseSymmetric(e, r, false, true); }
int32_t EraseToMiddleColumn(ElementNode* e, DestRect* r) { return EraseSymmetric(e, r, false, false); }
int32_t EraseFromMiddleRow(ElementNode* e, DestRect* r) { return EraseSymmetric(e, r, true, true); }
int32_t EraseToMiddleRow(ElementNode* e, DestRect* r) { return EraseSymmetric(e, r, true, false); }

}  // namespace ledview
