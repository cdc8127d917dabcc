#include <gtest/gtest.h>

#include <string>

#include "effects/effects.h"

namespace ledview {
namespace {

TEST(EffectTables, EntrySlotsFollowTheEffectNumbers) {
  const EffectFunction byslot[kEntryEffectCount] = {
      Instant, VerticalBlinds, HorizontalBlinds, WipeRight, WipeLeft, WipeDown, WipeUp, RandomBlocks,
      SlideRight, SlideLeft, SlideDown, SlideUp, SlideDownRight, SlideUpRight, SlideUpLeft, SlideDownLeft,
      CombWipeHorizontal, CombWipeVertical, CombSlideHorizontal, CombSlideVertical, OpenFromMiddleRow,
      OpenFromMiddleColumn, CloseToMiddleRow, CloseToMiddleColumn, RotateIn, FlipIn, Instant, Instant, DotOverlay,
      Blink, CheckerWipeRight, CheckerWipeDown, FanSweep, ShrinkToBottomLeft, ShrinkToTopLeft, ShrinkToTopRight,
      ShrinkToBottomRight, FramesInward, FramesOutward, DiamondOutward, CrossOutward, TwinSweep, ClockSweep,
      ClockSweepReverse, SpiralBox, ScrollThroughRight, ScrollThroughLeft, ScrollThroughDown, ScrollThroughUp,
      ScrollLoopRight, ScrollLoopLeft, ScrollLoopDown, ScrollLoopUp};
  for (int32_t slot = 0; slot < kEntryEffectCount; ++slot) EXPECT_EQ(EntryEffects[slot], byslot[slot]) << slot;
}

TEST(EffectTables, ExitSlotsFollowTheEffectNumbers) {
  const EffectFunction byslot[kExitEffectCount] = {ClearInstant,          EraseRight,          EraseLeft,
                                                   EraseDown,             EraseUp,             EraseFromMiddleColumn,
                                                   EraseToMiddleColumn,   EraseFromMiddleRow,  EraseToMiddleRow};
  for (int32_t slot = 0; slot < kExitEffectCount; ++slot) EXPECT_EQ(ExitEffects[slot], byslot[slot]) << slot;
}

TEST(EffectTables, SpeedIsReadFromTheHeaderAndClampedToTheTables) {
  uint8_t header[24] = {};
  ElementNode e{};
  e.header = header;
  const std::pair<uint16_t, uint32_t> cases[] = {{0, 0}, {5, 5}, {8, 8}, {9, 8}, {0x0100, 8}, {0xFFFF, 8}};
  for (const auto& [stored, speed] : cases) {
    header[8] = static_cast<uint8_t>(stored);
    header[9] = static_cast<uint8_t>(stored >> 8);
    EXPECT_EQ(EffectSpeed(&e), speed) << stored;
  }
}

}  // namespace
}  // namespace ledview
