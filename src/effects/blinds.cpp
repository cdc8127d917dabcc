// Blinds: the image opens in bands of 16 columns (rows), one line of every
// band per step, so the effect takes 16 steps whatever the image size.
#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kBlindWidth = 16;

int32_t Blinds(ElementNode* e, DestRect* r, bool columns) {
  RevealArea a;
  if (!RevealBegin(e, r, &a)) return -1;
  if (e->extent == 0) {
    e->stepDelay = Word(BandDelay[a.speed]);
    const int32_t end = columns ? a.vw : a.vh;
    if (end == 0) return ShowAndFinish(a);
    e->extent = Word(end);
    return FirstDelay[a.speed];
  }
  const int32_t step = Signed(e->step);
  if (step >= kBlindWidth || step < 0) return -1;
  const int32_t end = Signed(e->extent);
  for (int32_t line = step; line < end; line += kBlindWidth) {
    if (columns) {
      DrawPart(a, line, 0, 1, a.h);
    } else {
      DrawPart(a, 0, line, a.vw, 1);
    }
  }
  e->step = Word(step + 1);
  return Signed(e->stepDelay);
}

}  // namespace

int32_t VerticalBlinds(ElementNode* e, DestRect* r) { return Blinds(e, r, true); }
int32_t HorizontalBlinds(ElementNode* e, DestRect* r) { return Blinds(e, r, false); }

}  // namespace ledview
