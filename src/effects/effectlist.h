// Every effect an element can name, once: the engine makes its tables of
// effect functions from these lists and the ledview command its names and
// descriptions, so the two cannot drift apart.
//
// Each row is X(slot, function, named, family, words). An entry effect
// number selects entry slot `slot`; exit effect number n selects exit slot
// n - 1. `named` is false for a slot that goes by number (its function's name
// belongs to another slot); `family` groups the effects that work alike;
// `words` say what the effect looks like.
#pragma once
#include <cstddef>
#include <cstdint>

#include "format/playbill.h"

#define LEDVIEW_ENTRY_EFFECTS(X)                                                                            \
  X(0, Instant, true, "instant", "the whole picture at once")                                               \
  X(1, VerticalBlinds, true, "blinds", "bands of columns open side by side")                                \
  X(2, HorizontalBlinds, true, "blinds", "bands of rows open one above the other")                          \
  X(3, WipeRight, true, "wipe", "revealed column by column from the left edge")                             \
  X(4, WipeLeft, true, "wipe", "revealed column by column from the right edge")                             \
  X(5, WipeDown, true, "wipe", "revealed row by row from the top")                                          \
  X(6, WipeUp, true, "wipe", "revealed row by row from the bottom")                                         \
  X(7, RandomBlocks, true, "blocks", "small blocks appear in random order")                                 \
  X(8, SlideRight, true, "slide", "slides in from the left")                                                \
  X(9, SlideLeft, true, "slide", "slides in from the right")                                                \
  X(10, SlideDown, true, "slide", "slides in from the top")                                                 \
  X(11, SlideUp, true, "slide", "slides in from the bottom")                                                \
  X(12, SlideDownRight, true, "slide", "slides in from the top-left corner")                                \
  X(13, SlideUpRight, true, "slide", "slides in from the bottom-left corner")                               \
  X(14, SlideUpLeft, true, "slide", "slides in from the bottom-right corner")                               \
  X(15, SlideDownLeft, true, "slide", "slides in from the top-right corner")                                \
  X(16, CombWipeHorizontal, true, "comb", "alternate rows wiped in from opposite sides")                    \
  X(17, CombWipeVertical, true, "comb", "alternate columns wiped in from top and bottom")                   \
  X(18, CombSlideHorizontal, true, "comb", "alternate rows slide in from opposite sides")                   \
  X(19, CombSlideVertical, true, "comb", "alternate columns slide in from top and bottom")                  \
  X(20, OpenFromMiddleRow, true, "middle", "opens up and down from the middle row")                         \
  X(21, OpenFromMiddleColumn, true, "middle", "opens left and right from the middle column")                \
  X(22, CloseToMiddleRow, true, "middle", "closes in from top and bottom to the middle")                    \
  X(23, CloseToMiddleColumn, true, "middle", "closes in from both sides to the middle")                     \
  X(24, RotateIn, true, "turn", "a dotted copy turns once around the centre")                               \
  X(25, FlipIn, true, "turn", "a dotted copy flattens and stretches as it flips")                           \
  X(26, Instant, false, "instant", "Instant again")                                                         \
  X(27, Instant, false, "instant", "Instant again")                                                         \
  X(28, DotOverlay, true, "instant", "shown at once, with rows of dots drawn over it")                      \
  X(29, Blink, true, "instant", "blinks ten times, then stays")                                             \
  X(30, CheckerWipeRight, true, "checker", "half the checkerboard at once, the rest wiped in to the right") \
  X(31, CheckerWipeDown, true, "checker", "half the checkerboard at once, the rest wiped in downward")      \
  X(32, FanSweep, true, "sweep", "a fan opens from the centre, upward first, then down")                    \
  X(33, ShrinkToBottomLeft, true, "shrink", "the dark shrinks into the bottom-left corner")                 \
  X(34, ShrinkToTopLeft, true, "shrink", "the dark shrinks into the top-left corner")                       \
  X(35, ShrinkToTopRight, true, "shrink", "the dark shrinks into the top-right corner")                     \
  X(36, ShrinkToBottomRight, true, "shrink", "the dark shrinks into the bottom-right corner")               \
  X(37, FramesInward, true, "outline", "frame by frame from the edges to the centre")                       \
  X(38, FramesOutward, true, "outline", "frame by frame from the centre to the edges")                      \
  X(39, DiamondOutward, true, "outline", "a diamond grows from the centre")                                 \
  X(40, CrossOutward, true, "outline", "a cross widens from the centre")                                    \
  X(41, TwinSweep, true, "sweep", "each half revealed from the top by a turning line")                      \
  X(42, ClockSweep, true, "sweep", "a clock hand from 12 o'clock sweeps round clockwise")                   \
  X(43, ClockSweepReverse, true, "sweep", "a clock hand from 3 o'clock sweeps round anticlockwise")         \
  X(44, SpiralBox, true, "outline", "a box grows from the centre, a quarter turn at a time")                \
  X(45, ScrollThroughRight, true, "scroll", "scrolls right across the component and out again")             \
  X(46, ScrollThroughLeft, true, "scroll", "scrolls left across the component and out again")               \
  X(47, ScrollThroughDown, true, "scroll", "scrolls down across the component and out again")               \
  X(48, ScrollThroughUp, true, "scroll", "scrolls up across the component and out again")                   \
  X(49, ScrollLoopRight, true, "scroll", "scrolls right for ever, end to end")                              \
  X(50, ScrollLoopLeft, true, "scroll", "scrolls left for ever, end to end")                                \
  X(51, ScrollLoopDown, true, "scroll", "scrolls down for ever, end to end")                                \
  X(52, ScrollLoopUp, true, "scroll", "scrolls up for ever, end to end")

#define LEDVIEW_EXIT_EFFECTS(X)                                                                             \
  X(0, ClearInstant, true, "clear", "cleared at once")                                                      \
  X(1, EraseRight, true, "erase", "erased column by column to the right")                                   \
  X(2, EraseLeft, true, "erase", "erased column by column to the left")                                     \
  X(3, EraseDown, true, "erase", "erased row by row downward")                                              \
  X(4, EraseUp, true, "erase", "erased row by row upward")                                                  \
  X(5, EraseFromMiddleColumn, true, "erase", "erased from the middle column outward")                       \
  X(6, EraseToMiddleColumn, true, "erase", "erased from both sides to the middle column")                   \
  X(7, EraseFromMiddleRow, true, "erase", "erased from the middle row outward")                             \
  X(8, EraseToMiddleRow, true, "erase", "erased from top and bottom to the middle row")

namespace ledview::effectlist {

// The slots as the lists give them, to check that they run 0, 1, 2, ...
// with one row for every slot the format has.
#define LEDVIEW_EFFECT_SLOT(slot, function, named, family, words) slot,
inline constexpr int32_t kEntrySlots[] = {LEDVIEW_ENTRY_EFFECTS(LEDVIEW_EFFECT_SLOT)};
inline constexpr int32_t kExitSlots[] = {LEDVIEW_EXIT_EFFECTS(LEDVIEW_EFFECT_SLOT)};
#undef LEDVIEW_EFFECT_SLOT

template <size_t N>
constexpr bool EverySlotInOrder(const int32_t (&slots)[N], int count) {
  if (N != static_cast<size_t>(count)) return false;
  for (size_t i = 0; i < N; ++i) {
    if (slots[i] != static_cast<int32_t>(i)) return false;
  }
  return true;
}

static_assert(EverySlotInOrder(kEntrySlots, kEntrySlotCount),
              "one entry effect row for every entry slot, in slot order");
static_assert(EverySlotInOrder(kExitSlots, kExitSlotCount),
              "one exit effect row for every exit slot, in slot order");

}  // namespace ledview::effectlist
