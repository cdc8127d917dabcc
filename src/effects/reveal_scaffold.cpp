// scaffold: replaced by the reveal effects when the branches merge
#include "display/drawops.h"
#include "effects/effects.h"

namespace ledview {

namespace {

int32_t ShowWhole(ElementNode* e, DestRect* r) {
  const BlitRect b{0, 0, static_cast<int16_t>(r->x), static_cast<int16_t>(r->y), static_cast<int16_t>(r->width), static_cast<int16_t>(r->height)};
  drawops.BlitBitmap(&b, &e->image);
  return -1;
}

}  // namespace

int32_t Instant(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t VerticalBlinds(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t HorizontalBlinds(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t WipeRight(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t WipeLeft(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t WipeDown(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t WipeUp(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t RandomBlocks(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CombWipeHorizontal(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CombWipeVertical(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CombSlideHorizontal(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CombSlideVertical(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t OpenFromMiddleRow(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t OpenFromMiddleColumn(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CloseToMiddleRow(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CloseToMiddleColumn(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t RotateIn(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t FlipIn(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t DotOverlay(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t Blink(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CheckerWipeRight(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CheckerWipeDown(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t FanSweep(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t ShrinkToBottomLeft(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t ShrinkToTopLeft(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t ShrinkToTopRight(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t ShrinkToBottomRight(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t FramesInward(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t FramesOutward(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t DiamondOutward(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t CrossOutward(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t TwinSweep(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t ClockSweep(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t ClockSweepReverse(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }
int32_t SpiralBox(ElementNode* e, DestRect* r) { return ShowWhole(e, r); }

}  // namespace ledview
