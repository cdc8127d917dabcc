// Element types 3, 5 and 6, drawn from image strips: a timer counting down
// to or up from a date, a digital clock of the local date and time, and a
// frame animation.
//
// Digit strips hold the digits 0..9 in frames 0..9 and the separator drawn
// between hours, minutes and seconds in frame 10. The digital clock's label
// strip holds: 0 after the year, 1 after the month, 2 after the day and the
// name of Sunday, 3 and 4 before the weekday name, 5..10 Monday..Saturday.
//
// Timer payload: u32 direction (non-zero counts down), i16 year, i8 month,
// i8 day, i16 hour, i8 minute, i8 second, 8 format letters, the digit strip.
// Digital clock payload: u32 time source (either value shows the local time
// now), 8 format letters (a 0 ends them), u32 offsets of the digit and label
// strips from the payload start. Animation payload: the strip.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "effects/element.h"

namespace ledview {

// Ticks each animation frame stays.
inline constexpr int32_t kFrameInterval = 10;

// The timer and the digital clock draw on the second bit or their own run
// request, never clear their rectangle and always return 0.
int32_t RenderTimer(ElementNode* element, DestRect* rect);
int32_t RenderDigitalClock(ElementNode* element, DestRect* rect);
// One frame per run request, kFrameInterval ticks apart; after the last
// frame it hands over in kFrameInterval ticks (-kFrameInterval).
int32_t RenderAnimation(ElementNode* element, DestRect* rect);

// Text of value in radix 2..16 (others mean 10), built into one static
// buffer that the next call overwrites; length excludes the final zero.
const char* IntToText(int32_t value, uint32_t radix, int32_t* length);

}  // namespace ledview
