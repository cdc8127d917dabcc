// Blinds: the image opens in bands of 16 columns (rows), one line of every
// band per step, so the effect takes 16 steps whatever the image size.
#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kBlindWidth = 16;

// The steps wait a band delay, the first one a first delay.
int32_t BlindsSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  e->stepDelay = BandDelay[a.speed];
  const int32_t end = lines == kColumns ? a.vw : a.vh;
  if (end == 0) return ShowAndFinish(a);
  e->extent = end;
  return FirstDelay[a.speed];
}

int32_t BlindsStep(ElementNode* e, const RevealArea& a, int32_t lines) {
  const int32_t step = e->step;
  if (step >= kBlindWidth || step < 0) return -1;
  const int32_t end = e->extent;
  for (int32_t line = step; line < end; line += kBlindWidth) {
    if (lines == kColumns) {
      DrawPart(a, line, 0, 1, a.h);
    } else {
      DrawPart(a, 0, line, a.vw, 1);
    }
  }
  e->step = step + 1;
  return e->stepDelay;
}

}  // namespace

int32_t VerticalBlinds(ElementNode* e, DestRect* r) { return DriveReveal(e, r, BlindsSetUp, BlindsStep, kColumns); }
int32_t HorizontalBlinds(ElementNode* e, DestRect* r) { return DriveReveal(e, r, BlindsSetUp, BlindsStep, kRows); }

}  // namespace ledview
