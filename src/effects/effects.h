// The effect engine: the step-function contract, the speed tables, the two
// effect tables and the trigonometry the rotating effects share.
//
// An effect takes the element and its content rectangle and returns the
// number of action ticks until its next step, or 0 or less when finished.
// It keeps its progress in the element's step, extent, stepDelay and
// workBuffer; extent 0 means "not set up yet".
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "graphics/sine.h"  // SineTable, shared with the analog clock
#include "effects/element.h"
#include "format/playbill.h"

namespace ledview {

using EffectFunction = int32_t (*)(ElementNode* element, DestRect* rect);

inline constexpr int kEntryEffectCount = kEntrySlotCount;
inline constexpr int kExitEffectCount = kExitSlotCount;

extern const EffectFunction EntryEffects[kEntryEffectCount];
extern const EffectFunction ExitEffects[kExitEffectCount];

// Indexed by speed 0..kMaxSpeed (0 slowest).
inline constexpr int32_t PixelStep[kMaxSpeed + 1] = {1, 1, 1, 1, 2, 3, 4, 5, 6};
inline constexpr int32_t FirstDelay[kMaxSpeed + 1] = {4, 3, 2, 1, 1, 1, 1, 1, 1};
inline constexpr int32_t BandDelay[kMaxSpeed + 1] = {6, 6, 6, 5, 5, 5, 4, 4, 4};
// The 1 x 2 dot of DotOverlay as BlitBytes reads it: one byte of colour 2 per
// row, rows 4 bytes apart (a source row is its width rounded up to 4 bytes).
inline constexpr uint8_t DotRows[8] = {2, 0, 0, 0, 2, 0, 0, 0};

// The element's speed from its header (u16 at +8), clamped to the tables.
inline uint32_t EffectSpeed(const ElementNode* element) {
  const uint32_t speed = ReadU16(element->header + elementfield::speed);
  return speed > kMaxSpeed ? kMaxSpeed : speed;
}

// TangentTable[k] x d >> 15 is about d x tan((k + 1) degrees); entries 89 and 90
// repeat entry 88.
inline constexpr int32_t TangentTable[91] = {
    568, 1136, 1705, 2275, 2847, 3420, 3995, 4573, 5153, 5737,
    6324, 6916, 7512, 8112, 8718, 9330, 9947, 10572, 11203, 11842,
    12489, 13145, 13811, 14486, 15172, 15869, 16578, 17300, 18035, 18785,
    19550, 20331, 21129, 21946, 22782, 23639, 24518, 25420, 26347, 27301,
    28283, 29296, 30340, 31420, 32536, 33692, 34891, 36135, 37428, 38775,
    40179, 41644, 43177, 44782, 46466, 48237, 50101, 52068, 54149, 56354,
    58696, 61191, 63855, 66709, 69774, 73077, 76650, 80529, 84759, 89392,
    94491, 100135, 106420, 113466, 121425, 130494, 140928, 153069, 167382, 184520,
    205423, 231504, 264982, 309556, 371883, 465278, 620809, 931674, 1863846, 1863846,
    1863846,
};

// Entry effects, by slot (slots 0, 26 and 27 are all Instant).
int32_t Instant(ElementNode* e, DestRect* r);
int32_t VerticalBlinds(ElementNode* e, DestRect* r);
int32_t HorizontalBlinds(ElementNode* e, DestRect* r);
int32_t WipeRight(ElementNode* e, DestRect* r);
int32_t WipeLeft(ElementNode* e, DestRect* r);
int32_t WipeDown(ElementNode* e, DestRect* r);
int32_t WipeUp(ElementNode* e, DestRect* r);
int32_t RandomBlocks(ElementNode* e, DestRect* r);
int32_t SlideRight(ElementNode* e, DestRect* r);
int32_t SlideLeft(ElementNode* e, DestRect* r);
int32_t SlideDown(ElementNode* e, DestRect* r);
int32_t SlideUp(ElementNode* e, DestRect* r);
int32_t SlideDownRight(ElementNode* e, DestRect* r);
int32_t SlideUpRight(ElementNode* e, DestRect* r);
int32_t SlideUpLeft(ElementNode* e, DestRect* r);
int32_t SlideDownLeft(ElementNode* e, DestRect* r);
int32_t CombWipeHorizontal(ElementNode* e, DestRect* r);
int32_t CombWipeVertical(ElementNode* e, DestRect* r);
int32_t CombSlideHorizontal(ElementNode* e, DestRect* r);
int32_t CombSlideVertical(ElementNode* e, DestRect* r);
int32_t OpenFromMiddleRow(ElementNode* e, DestRect* r);
int32_t OpenFromMiddleColumn(ElementNode* e, DestRect* r);
int32_t CloseToMiddleRow(ElementNode* e, DestRect* r);
int32_t CloseToMiddleColumn(ElementNode* e, DestRect* r);
int32_t RotateIn(ElementNode* e, DestRect* r);
int32_t FlipIn(ElementNode* e, DestRect* r);
int32_t DotOverlay(ElementNode* e, DestRect* r);
int32_t Blink(ElementNode* e, DestRect* r);
int32_t CheckerWipeRight(ElementNode* e, DestRect* r);
int32_t CheckerWipeDown(ElementNode* e, DestRect* r);
int32_t FanSweep(ElementNode* e, DestRect* r);
int32_t ShrinkToBottomLeft(ElementNode* e, DestRect* r);
int32_t ShrinkToTopLeft(ElementNode* e, DestRect* r);
int32_t ShrinkToTopRight(ElementNode* e, DestRect* r);
int32_t ShrinkToBottomRight(ElementNode* e, DestRect* r);
int32_t FramesInward(ElementNode* e, DestRect* r);
int32_t FramesOutward(ElementNode* e, DestRect* r);
int32_t DiamondOutward(ElementNode* e, DestRect* r);
int32_t CrossOutward(ElementNode* e, DestRect* r);
int32_t TwinSweep(ElementNode* e, DestRect* r);
int32_t ClockSweep(ElementNode* e, DestRect* r);
int32_t ClockSweepReverse(ElementNode* e, DestRect* r);
int32_t SpiralBox(ElementNode* e, DestRect* r);
int32_t ScrollThroughRight(ElementNode* e, DestRect* r);
int32_t ScrollThroughLeft(ElementNode* e, DestRect* r);
int32_t ScrollThroughDown(ElementNode* e, DestRect* r);
int32_t ScrollThroughUp(ElementNode* e, DestRect* r);
int32_t ScrollLoopRight(ElementNode* e, DestRect* r);
int32_t ScrollLoopLeft(ElementNode* e, DestRect* r);
int32_t ScrollLoopDown(ElementNode* e, DestRect* r);
int32_t ScrollLoopUp(ElementNode* e, DestRect* r);

// Exit effects, by slot.
int32_t ClearInstant(ElementNode* e, DestRect* r);
int32_t EraseRight(ElementNode* e, DestRect* r);
int32_t EraseLeft(ElementNode* e, DestRect* r);
int32_t EraseDown(ElementNode* e, DestRect* r);
int32_t EraseUp(ElementNode* e, DestRect* r);
int32_t EraseFromMiddleColumn(ElementNode* e, DestRect* r);
int32_t EraseToMiddleColumn(ElementNode* e, DestRect* r);
int32_t EraseFromMiddleRow(ElementNode* e, DestRect* r);
int32_t EraseToMiddleRow(ElementNode* e, DestRect* r);

}  // namespace ledview
