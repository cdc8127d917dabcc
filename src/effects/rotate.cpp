// RotateIn and FlipIn: a dotted copy of the image (every second pixel in both
// directions) turns (or flips) about the middle of the visible part, 10
// degrees per step, and the whole image appears once a full turn is done.
#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kFullTurn = 360;
constexpr int32_t kTurnStep = 10;

// sin of a whole angle in Q14, from the quarter wave by symmetry.
int32_t Sine(int32_t degrees) {
  int32_t d = degrees % kFullTurn;
  if (d < 0) d += kFullTurn;
  if (d <= 90) return SineTable[d];
  if (d <= 180) return SineTable[180 - d];
  if (d <= 270) return -SineTable[d - 180];
  return -SineTable[360 - d];
}

int32_t Cosine(int32_t degrees) { return Sine(degrees + 90); }

int32_t Turn(ElementNode* e, DestRect* r, bool flip) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->stepDelay == 0) e->stepDelay = FirstDelay[a.speed];
  const int32_t angle = e->step;
  if (angle >= kFullTurn || angle < 0) return ShowAndFinish(a);
  ClearWhole(a);
  const int64_t kc = Cosine(angle);
  const int64_t kn = -Sine(angle);
  const int32_t cx = a.vw >> 1;
  const int32_t cy = a.vh >> 1;
  for (int32_t u = 0; u < a.vw; u += 2) {
    const int64_t dx = u - cx;
    for (int32_t v = 0; v < a.vh; v += 2) {
      const int64_t dy = v - cy;
      int64_t px = 0, py = 0;
      if (flip) {
        px = cx + ((dx * kc) >> 14);
        py = cy + ((dy * kn) >> 14);
      } else {
        px = cx + ((dx * kc) >> 14) - ((dy * kn) >> 14);
        py = cy + ((dx * kn) >> 14) + ((dy * kc) >> 14);
      }
      // The first dot of a column that lands on or beyond a side edge ends
      // that column.
      if (px <= 0 || px >= a.vw) break;
      if (py > 0 && py < a.vh) {
        DrawPartAt(a, u, v, static_cast<int32_t>(px), static_cast<int32_t>(py), 1, 1);
      }
    }
  }
  e->step = angle + kTurnStep;
  return e->stepDelay;
}

}  // namespace

int32_t RotateIn(ElementNode* e, DestRect* r) { return Turn(e, r, false); }
int32_t FlipIn(ElementNode* e, DestRect* r) { return Turn(e, r, true); }

}  // namespace ledview
