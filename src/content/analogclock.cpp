#include "content/analogclock.h"

#include <algorithm>
#include <ctime>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "graphics/sine.h"
#include "platform/platform.h"
#include "format/playbill.h"
#include "content/playservices.h"

namespace ledview {

namespace {

constexpr int32_t kSmallestFace = 10;
// Hands wider than this only make the polygon's corners leave the 16-bit
// coordinate range; the clip to the component hides everything beyond.
constexpr int32_t kWidestHalfHand = 8192;

// 0..360; whole turns beyond that are dropped.
int32_t NormaliseAngle(int32_t a) {
  if (a >= 0 && a <= 360) return a;
  a %= 360;
  return a < 0 ? a + 360 : a;
}

// (v x S[k]) >> 14, arithmetic shift.
int32_t Q14(int32_t v, int32_t k) { return (v * SineTable[k]) >> 14; }

// (w cos a, w sin a): at right angles to the hand.
GfxPoint HandSide(int32_t w, int32_t a) {
  a = NormaliseAngle(a);
  int32_t x;
  int32_t y;
  if (a <= 90) {
    x = Q14(w, 90 - a);
    y = Q14(w, a);
  } else if (a <= 180) {
    x = -Q14(w, a - 90);
    y = Q14(w, 180 - a);
  } else if (a <= 270) {
    x = -Q14(w, 270 - a);
    y = -Q14(w, a - 180);
  } else {
    x = Q14(w, a - 270);
    y = -Q14(w, 360 - a);
  }
  return GfxPoint{static_cast<int16_t>(x), static_cast<int16_t>(y)};
}

GfxPoint Offset(GfxPoint p, int32_t cx, int32_t cy) {
  return GfxPoint{static_cast<int16_t>(p.x + cx), static_cast<int16_t>(p.y + cy)};
}

void DrawPayloadHand(GraphicsContext* ctx, const uint8_t* payload, uint32_t colourfield,
                     uint32_t widthfield, int32_t length, int32_t angle, int32_t cx, int32_t cy) {
  const int32_t halfwidth = std::min<int32_t>(ReadU16(payload + widthfield), kWidestHalfHand);
  const auto colour = static_cast<int32_t>(ReadU32(payload + colourfield));
  DrawClockHand(ctx, colour, halfwidth, length, angle, cx, cy);
}

}  // namespace

GfxPoint HandTip(int32_t length, int32_t angle) {
  const int32_t a = NormaliseAngle(angle);
  int32_t x;
  int32_t y;
  if (a <= 90) {
    x = Q14(length, a);
    y = -Q14(length, 90 - a);
  } else if (a <= 180) {
    x = Q14(length, 180 - a);
    y = Q14(length, a - 90);
  } else if (a <= 270) {
    x = -Q14(length, a - 180);
    y = Q14(length, 270 - a);
  } else {
    x = -Q14(length, 360 - a);
    y = -Q14(length, a - 270);
  }
  return GfxPoint{static_cast<int16_t>(x), static_cast<int16_t>(y)};
}

void MakeHandPolygon(int32_t length, int32_t angle, int32_t halfwidth, GfxPoint points[4]) {
  const GfxPoint tip = HandTip(length, angle);
  const GfxPoint right = HandSide(halfwidth, angle);
  points[0] = tip;
  points[1] = right;
  points[2] = GfxPoint{static_cast<int16_t>(-(tip.x >> 2)), static_cast<int16_t>(-(tip.y >> 2))};
  points[3] = GfxPoint{static_cast<int16_t>(-right.x), static_cast<int16_t>(-right.y)};
}

void DrawClockHand(GraphicsContext* ctx, int32_t colour, int32_t halfwidth, int32_t length,
                   int32_t angle, int32_t cx, int32_t cy) {
  GfxPoint points[4];
  MakeHandPolygon(length, angle, halfwidth, points);
  for (GfxPoint& p : points) p = Offset(p, cx, cy);
  SetPenColour(ctx, colour);
  SetFillColour(ctx, colour);
  const GfxPolygon hand{4, points};
  FillPolygon(ctx, &hand);  // an exhausted arena only loses the kite
  // A narrow kite has little or no area away from the axes, and the fill
  // leaves its thin end empty: the spine makes every hand a stroke from the
  // centre to its tip.
  const GfxSegment spine{static_cast<int16_t>(cx), static_cast<int16_t>(cy), points[0].x,
                         points[0].y};
  DrawLine(ctx, &spine);
}

void DrawClockMarks(const uint8_t* payload, int32_t radius, int32_t cx, int32_t cy) {
  const auto main = static_cast<uint8_t>(ReadU32(payload + clockfield::mainmarks));
  const auto other = static_cast<uint8_t>(ReadU32(payload + clockfield::othermarks));
  for (int32_t i = 0; i < 12; ++i) {
    const ClockMark& m = ClockMarks[i];
    const int32_t px = cx + ((radius * m.cosine) >> 14) + m.dx;
    const int32_t py = cy - ((radius * m.negsine) >> 14) + m.dy;
    if (i % 3 == 0) {
      drawops.SetPixel(px, py - 1, main);
      drawops.DrawHLine(py, px - 1, px + 2, main);
      drawops.SetPixel(px, py + 1, main);
    } else {
      drawops.DrawHLine(py, px, px + 2, other);
      drawops.DrawHLine(py + 1, px, px + 2, other);
    }
  }
}

void DrawClockFace(const uint8_t* payload, const DestRect& rect, int32_t hour, int32_t minute,
                   int32_t second) {
  GraphicsContext* ctx = graphicscontext;
  if (ctx == nullptr || payload == nullptr) return;
  if (rect.width < kSmallestFace || rect.height < kSmallestFace) return;
  // The marks go through the drawing slots unclipped.
  if (uint32_t{rect.x} + rect.width > framebuffer.fbwidth ||
      uint32_t{rect.y} + rect.height > framebuffer.fbheight) {
    return;
  }
  const int32_t d = std::min(rect.width, rect.height);
  const int32_t r = (d >> 1) - 2;
  const int32_t cx = rect.x + r + 2;
  const int32_t cy = rect.y + r + 2;

  SetFillMode(ctx, 1);
  DrawClockMarks(payload, r, cx, cy);

  // Hands stay inside the component whatever their stored widths.
  const ClipBounds screen = SetClipBounds(
      ctx, ClipBounds{static_cast<int16_t>(rect.x), static_cast<int16_t>(rect.x + rect.width - 1),
                      static_cast<int16_t>(rect.y), static_cast<int16_t>(rect.y + rect.height - 1)});
  const int32_t hourangle = (hour % 12) * 30 + (minute >> 1);
  DrawPayloadHand(ctx, payload, clockfield::hourhand, clockfield::hourwidth, r - 5, hourangle, cx,
                  cy);
  DrawPayloadHand(ctx, payload, clockfield::minutehand, clockfield::minutewidth, r - 3, minute * 6,
                  cx, cy);
  const GfxPoint tip = Offset(HandTip(r - 2, second * 6), cx, cy);
  SetPenColour(ctx, static_cast<int32_t>(ReadU32(payload + clockfield::secondhand)));
  const GfxSegment hand{static_cast<int16_t>(cx), static_cast<int16_t>(cy), tip.x, tip.y};
  DrawLine(ctx, &hand);
  SetClipBounds(ctx, screen);
}

int32_t RenderAnalogClock(ElementNode* e, DestRect* rect) {
  if (rect == nullptr || rect->width < kSmallestFace || rect->height < kSmallestFace) return 0;
  if (!(StepFlags() & kRefreshSecond) && !(e->flags & kRefreshElement)) return 0;
  e->flags = 0;
  std::tm now{};
  if (!ClockLocalTime(ClockNow(), &now)) return 0;
  DrawClockFace(e->payload, *rect, now.tm_hour, now.tm_min, now.tm_sec);
  return 0;
}

}  // namespace ledview
