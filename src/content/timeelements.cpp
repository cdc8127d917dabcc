#include "content/timeelements.h"

#include <algorithm>
#include <ctime>

#include "content/playservices.h"
#include "display/drawops.h"
#include "platform/platform.h"
#include "format/playbill.h"

namespace ledview {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Longest span a timer shows: its total hours still fit 32 bits.
constexpr int64_t kLongestSpan = int64_t{INT32_MAX / 24 - 1} * kSecondsPerDay;

// Where the next picture of a number goes. Drawing stops for good once the
// rectangle's width is used up.
struct Pen {
  int32_t x;
  int32_t y;
  int32_t room;
  uint16_t height;
};

Pen StartPen(const DestRect& rect, uint16_t height) {
  return Pen{rect.x, rect.y, rect.width, height};
}

// Frame f of the strip at the pen; false once no room is left.
bool PenDraw(Pen& pen, uint32_t frame, const FrameStrip* strip) {
  if (pen.room < 1) return false;
  const DestRect d{static_cast<uint16_t>(pen.x), static_cast<uint16_t>(pen.y),
                   static_cast<uint16_t>(pen.room), pen.height};
  drawops.BlitFrameOver(static_cast<int32_t>(frame), &d, strip);
  pen.x += strip->width;
  pen.room -= strip->width;
  return pen.room >= 1;
}

bool TwoDigits(Pen& pen, int32_t n, const FrameStrip* digits) {
  n = std::max(n, 0);
  return PenDraw(pen, static_cast<uint32_t>((n / 10) % 10), digits) &&
         PenDraw(pen, static_cast<uint32_t>(n % 10), digits);
}

// The tens digit only when there is one.
bool ShortNumber(Pen& pen, int32_t n, const FrameStrip* digits) {
  n = std::max(n, 0);
  if (n / 10 > 0 && !PenDraw(pen, static_cast<uint32_t>((n / 10) % 10), digits)) return false;
  return PenDraw(pen, static_cast<uint32_t>(n % 10), digits);
}

// Decimal without leading zeros; 0 is one digit.
bool WholeNumber(Pen& pen, int32_t n, const FrameStrip* digits) {
  int32_t length = 0;
  const char* text = IntToText(std::max(n, 0), 10, &length);
  for (int32_t i = 0; i < length; ++i) {
    if (!PenDraw(pen, static_cast<uint32_t>(text[i] - '0'), digits)) return false;
  }
  return true;
}

bool Due(const ElementNode* e) {
  return (StepFlags() & kRefreshSecond) || (e->flags & kRefreshElement);
}

// Days, hours, minutes and seconds of a span; 0 for none.
void SplitSpan(TimerState& t, int64_t span) {
  span = std::clamp<int64_t>(span, 0, kLongestSpan);
  t.days = span / kSecondsPerDay;
  t.hours = span % kSecondsPerDay / 3600;
  t.minutes = span % 3600 / 60;
  t.secondsleft = span % 60;
}

// The stored local date and time in calendar seconds.
int64_t TimerTarget(const uint8_t* p) {
  std::tm t{};
  t.tm_year = static_cast<int16_t>(ReadU16(p + timerfield::year)) - 1900;
  t.tm_mon = static_cast<int8_t>(p[timerfield::month]) - 1;
  t.tm_mday = static_cast<int8_t>(p[timerfield::day]);
  t.tm_hour = static_cast<int16_t>(ReadU16(p + timerfield::hour));
  t.tm_min = static_cast<int8_t>(p[timerfield::minute]);
  t.tm_sec = static_cast<int8_t>(p[timerfield::second]);
  return ClockFromLocal(&t);
}

// One second off the count-down, borrowing through the counters.
void CountDown(TimerState& t) {
  if (t.seconds <= 0) return;
  --t.seconds;
  if (--t.secondsleft >= 0) return;
  t.secondsleft = 59;
  if (--t.minutes >= 0) return;
  t.minutes = 59;
  if (--t.hours >= 0) return;
  t.hours = 23;
  --t.days;
}

void DrawTimer(const ElementNode* e, const DestRect& rect) {
  const uint8_t* p = e->payload;
  const auto* digits = reinterpret_cast<const FrameStrip*>(p + timerfield::digits);
  const TimerState& t = e->state.timer;
  const auto days = static_cast<int32_t>(t.days);
  const auto hours = static_cast<int32_t>(t.hours);
  const auto minutes = static_cast<int32_t>(t.minutes);
  const auto seconds = static_cast<int32_t>(t.secondsleft);
  Pen pen = StartPen(rect, rect.height);
  bool separator = false;
  for (uint32_t i = 0; i < kFormatLetters; ++i) {
    switch (p[timerfield::format + i]) {
      case 'D':
      case 'd':
        WholeNumber(pen, days, digits);
        return;
      case 'H':
        WholeNumber(pen, days * 24 + hours, digits);
        return;
      case 'h':
        if (!TwoDigits(pen, hours, digits)) return;
        separator = true;
        break;
      case 'm':
        if (separator && !PenDraw(pen, kSeparatorFrame, digits)) return;
        if (!TwoDigits(pen, minutes, digits)) return;
        separator = true;
        break;
      case 's':
        if (separator && !PenDraw(pen, kSeparatorFrame, digits)) return;
        if (!TwoDigits(pen, seconds, digits)) return;
        break;
      default:
        break;
    }
  }
}

}  // namespace

int32_t RenderTimer(ElementNode* e, DestRect* rect) {
  if (rect == nullptr || !Due(e)) return 0;
  e->flags = 0;
  const uint8_t* p = e->payload;
  const bool down = ReadU32(p + timerfield::direction) != 0;
  const int64_t now = ClockNow();
  if (e->timerstate == -1) {
    e->timerstate = 0;
    const int64_t target = TimerTarget(p);
    if (down) {
      const int64_t remaining = std::clamp<int64_t>(target - now, 0, kLongestSpan);
      e->state.timer.seconds = remaining;
      SplitSpan(e->state.timer, remaining);
    } else {
      e->state.timer.seconds = target;
    }
  }
  if (down) {
    CountDown(e->state.timer);
  } else {
    SplitSpan(e->state.timer, now - e->state.timer.seconds);
  }
  DrawTimer(e, *rect);
  return 0;
}

int32_t RenderDigitalClock(ElementNode* e, DestRect* rect) {
  if (rect == nullptr || !Due(e)) return 0;
  e->flags = 0;
  std::tm now{};
  if (!ClockLocalTime(ClockNow(), &now)) return 0;
  const uint8_t* p = e->payload;
  const auto* digits = reinterpret_cast<const FrameStrip*>(p + ReadU32(p + digitalfield::digits));
  const auto* labels = reinterpret_cast<const FrameStrip*>(p + ReadU32(p + digitalfield::labels));
  Pen pen = StartPen(*rect, std::min(digits->height, rect->height));
  bool separator = false;
  for (uint32_t i = 0; i < kFormatLetters; ++i) {
    const uint8_t letter = p[digitalfield::format + i];
    if (letter == 0) break;
    bool more = true;
    switch (letter) {
      case 'D':
      case 'd':
        more = ShortNumber(pen, now.tm_mday, digits) && PenDraw(pen, 2, labels);
        break;
      case 'H':
      case 'h':
        more = TwoDigits(pen, now.tm_hour, digits);
        separator = true;
        break;
      case 'M':
        more = ShortNumber(pen, now.tm_mon + 1, digits) && PenDraw(pen, 1, labels);
        break;
      case 'W':
      case 'w': {
        const int32_t weekday = std::clamp(now.tm_wday, 0, 6);
        const uint32_t name = weekday == 0 ? 2 : static_cast<uint32_t>(4 + weekday);
        more = PenDraw(pen, 3, labels) && PenDraw(pen, 4, labels) && PenDraw(pen, name, labels);
        break;
      }
      case 'Y':
      case 'y': {
        const int32_t year = std::max(now.tm_year + 1900, 0);
        more = PenDraw(pen, static_cast<uint32_t>(year / 1000 % 10), digits) &&
               PenDraw(pen, static_cast<uint32_t>(year / 100 % 10), digits) &&
               PenDraw(pen, static_cast<uint32_t>(year / 10 % 10), digits) &&
               PenDraw(pen, static_cast<uint32_t>(year % 10), digits) && PenDraw(pen, 0, labels);
        break;
      }
      case 'm':
        more = (!separator || PenDraw(pen, kSeparatorFrame, digits)) &&
               TwoDigits(pen, now.tm_min, digits);
        separator = true;
        break;
      case 's':
        more = (!separator || PenDraw(pen, kSeparatorFrame, digits)) &&
               TwoDigits(pen, now.tm_sec, digits);
        break;
      default:
        break;
    }
    if (!more) break;
  }
  return 0;
}

int32_t RenderAnimation(ElementNode* e, DestRect* rect) {
  if (rect == nullptr) {
    e->step = 0;
    return 0;
  }
  if (!(e->flags & kRefreshElement) || rect->width == 0 || rect->height == 0) return 0;
  e->flags = 0;
  const auto* strip = reinterpret_cast<const FrameStrip*>(e->payload);
  // The step is the frame on the sign, counted as the strip counts frames.
  uint32_t frame = static_cast<uint32_t>(e->step);
  if (frame >= strip->count) frame = 0;
  drawops.BlitFrame(static_cast<int32_t>(frame), rect, strip);
  if (++frame >= strip->count) {
    e->step = 0;
    return -kFrameInterval;
  }
  e->step = static_cast<int32_t>(frame);
  e->timerstate = playservices.addticktimer(kFrameInterval, kRefreshElement, &e->flags);
  return 0;
}

const char* IntToText(int32_t value, uint32_t radix, int32_t* length) {
  static char text[40];
  static constexpr char kDigits[] = "0123456789ABCDEF";
  if (radix < 2 || radix > 16) radix = 10;
  char* p = text + sizeof text - 1;
  *p = '\0';
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = kDigits[magnitude % radix];
    magnitude /= radix;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  if (length != nullptr) *length = static_cast<int32_t>(text + sizeof text - 1 - p);
  return p;
}

}  // namespace ledview
