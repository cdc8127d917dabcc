// Element type 4: a round clock face with twelve marks and three hands
// showing the local time, redrawn once a second. Marks go straight through
// the drawing slots; the hands are filled polygons and a line on the
// graphics context. Geometry is integer arithmetic on SineTable (Q14).
//
// Payload: u32 time source (either value shows the local time now), u32
// colours of the main marks, the other marks, the hour, minute and second
// hands, then u16 hour and minute hand half-widths.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "graphics/graphics.h"
#include "effects/element.h"

namespace ledview {

// One mark per 30 degrees, clockwise from 3 o'clock: cosine and negated sine
// in Q14 and a pixel nudge.
struct ClockMark {
  int32_t cosine;
  int32_t negsine;
  int32_t dx;
  int32_t dy;
};
inline constexpr ClockMark ClockMarks[12] = {
    {16384, 0, 0, 0},       {14188, -8191, 0, -1},  {8191, -14188, 0, -1},
    {0, -16384, 0, 0},      {-8191, -14188, 0, -1}, {-14188, -8191, 0, -1},
    {-16384, 0, 0, 0},      {-14188, 8191, 0, 0},   {-8191, 14188, 1, 0},
    {0, 16384, 0, 0},       {8191, 14188, 0, 0},    {14188, 8191, 0, -1},
};

// (length sin a, -length cos a) for a whole angle in degrees clockwise from
// 12 o'clock, y pointing down: the offset of a hand's tip from the centre.
GfxPoint HandTip(int32_t length, int32_t angle);
// Tip, right side, tail and left side of a hand, relative to the centre: a
// kite with the sides `halfwidth` from the centre and the tail a quarter of
// the length behind it.
void MakeHandPolygon(int32_t length, int32_t angle, int32_t halfwidth, GfxPoint points[4]);
// An hour or minute hand centred on (cx, cy): the kite filled in the colour,
// then its spine from the centre to the tip, so that a hand of any half-width
// shows as a connected stroke.
void DrawClockHand(GraphicsContext* ctx, int32_t colour, int32_t halfwidth, int32_t length,
                   int32_t angle, int32_t cx, int32_t cy);
// Plus signs at 12, 3, 6 and 9 o'clock, 2 x 2 squares at the other hours.
void DrawClockMarks(const uint8_t* payload, int32_t radius, int32_t cx, int32_t cy);
// The face in the top-left square of rect at the given time; nothing when
// rect is smaller than 10 x 10 or leaves the framebuffer. A second of 60
// (a leap second) points straight up.
void DrawClockFace(const uint8_t* payload, const DestRect& rect, int32_t hour, int32_t minute,
                   int32_t second);
// Draws on the second bit or its own run request; always 0.
int32_t RenderAnalogClock(ElementNode* element, DestRect* rect);

}  // namespace ledview
