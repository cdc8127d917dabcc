// Timers and digital clocks drawn directly with the clock pinned, then the
// time kinds played through the exported calls. Frame f of a test strip
// shows f + 1 in binary over its first four pixels, so Row() writes what a
// row of digits ('0'..'9', ':', colour 1) and labels ('a'..'k', colour 2) shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "content/timeelements.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "billfile/billwriter.h"
#include "playbill/scheduler.h"
#include "support/picture.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

bill::FrameStrip Strip(uint32_t frames, uint32_t colour, uint16_t width = 4) {
  bill::FrameStrip s{frames, width, 1, colour, (width + 7u) / 8u, {}};
  s.pixels.assign(static_cast<size_t>(frames) * s.pitch, 0);
  for (uint32_t f = 0; f < frames; ++f) s.pixels[f * s.pitch] = static_cast<uint8_t>((f + 1) << 4);
  return s;
}
std::string Glyph(int frame, char colour) {
  std::string s;
  for (int bit = 3; bit >= 0; --bit) s += ((frame + 1) >> bit) & 1 ? colour : '.';
  return s;
}
std::string Trim(std::string s) { return s.substr(0, s.find_last_not_of('.') + 1); }
std::string Row(const std::string& text, int labelwidth = 4) {
  std::string s;
  for (char c : text) {
    const bool label = c >= 'a';
    s += Glyph(c == ':' ? 10 : label ? c - 'a' : c - '0', label ? '2' : '1');
    s += std::string(label ? labelwidth - 4 : 0, '.');
  }
  return Trim(s);
}
std::vector<uint8_t> Timer(uint32_t down, int16_t year, int8_t month, int8_t day, int16_t hour, int8_t minute,
                           int8_t second, const std::string& format) {
  bill::Timer t{down, year, month, day, hour, minute, second, {}, Strip(11, 1)};
  format.copy(t.format, 8);
  return bill::TimerBytes(t);
}
// The strips `gap` bytes after what precedes them: unaligned offsets.
std::vector<uint8_t> Digital(const std::string& format, uint16_t labelwidth = 4, uint32_t gap = 0) {
  bill::DigitalClock clock{1, {}, Strip(11, 1), Strip(11, 2, labelwidth)};
  format.copy(clock.format, 8);
  std::vector<uint8_t> out = bill::DigitalClockBytes(clock);
  const uint32_t labels = bill::GetU32(out, 16);
  out.insert(out.begin() + labels, gap, 0xAA);
  out.insert(out.begin() + 20, gap, 0xAA);
  PutU32(out, 12, 20 + gap);
  PutU32(out, 16, labels + 2 * gap);
  return out;
}
// Frame f lights its first pixel in colour f + 1.
std::vector<uint8_t> Animation(uint32_t count) {
  std::vector<uint8_t> strip = bill::FrameStripBytes(Strip(count, 8));
  for (uint32_t f = 0; f < count; ++f) strip[16 + f] = static_cast<uint8_t>(f + 1);
  return strip;
}

class TimeElementTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 8, 4), 0);
    ClearTimers();
  }
  void TearDown() override {
    ClockUseReal();
    refreshflags = 0;
    EngineTest::TearDown();
  }
  void Load(std::vector<uint8_t> bytes) {  // as the loader leaves it
    payload = std::move(bytes);
    element = ElementNode{};
    element.payload = payload.data();
    element.timerstate = -1;
    element.flags = 1;
  }
  // One drawing on a cleared screen, for the second bit or without it.
  std::string Draw(ElementRenderer render, bool second = true) {
    ClearFrameBuffer();
    refreshflags = second ? kRefreshSecond : 0;
    DestRect rect{0, 0, 64, 1};
    EXPECT_EQ(render(&element, &rect), 0);
    return Trim(ReadPicture(0, 0, 64, 1));
  }
  std::vector<uint8_t> payload;
  ElementNode element{};
};

TEST_F(TimeElementTest, TimerAndDigitalClockFormats) {
  struct Case { int64_t now; std::vector<uint8_t> timer; std::string shows; };
  const int64_t jan1 = LocalSeconds(2030, 1, 1, 0, 0, 0), past = LocalSeconds(2030, 1, 1, 1, 2, 3);
  const Case cases[] = {
      {jan1, Timer(1, 2030, 1, 3, 0, 0, 0, "hmsD"), Row("23:59:591")},  // the first drawing takes a second
      {jan1, Timer(1, 2030, 1, 3, 3, 0, 1, "Hms"), Row("51")},  // total hours and days end the format
      {past, Timer(0, 2030, 1, 1, 0, 0, 0, "msxh"), Row("02:0301")},  // a separator only after a number
      {jan1, Timer(1, -32768, -128, -128, -32768, -128, -128, "HhmsDd"), Row("0")},
      {int64_t{1} << 50, Timer(0, 2030, 1, 1, 0, 0, 0, "H"), Row("2147483616")},  // the largest count, no wrap
  };
  for (const Case& c : cases) {
    ClockSimulate(c.now);
    Load(c.timer);
    EXPECT_EQ(Draw(RenderTimer), c.shows) << c.shows;
  }
  // Counting down, each drawing is a second whatever the clock says, down to 0.
  ClockSimulate(jan1);
  Load(Timer(1, 2030, 1, 1, 0, 0, 2, "hms"));
  EXPECT_EQ(Draw(RenderTimer, false), Row("00:00:01"));  // the loader's request
  EXPECT_EQ(Draw(RenderTimer, false), "");  // nothing pending
  ClockAdvance(100);
  EXPECT_EQ(Draw(RenderTimer), Row("00:00:00"));
  EXPECT_EQ(Draw(RenderTimer), Row("00:00:00"));
  // The digital clock's letters, labels and weekdays; 2024-05-06 was a Monday.
  const int64_t monday = LocalSeconds(2024, 5, 6, 3, 4, 5), dec16 = LocalSeconds(2024, 12, 16, 3, 4, 5);
  const std::vector<std::tuple<int64_t, std::string, std::string>> clocks = {
      {monday, "YMD", Row("2024a5b6c")}, {dec16, "ymd", Row("2024a0416c")},  // 'm' is the minute
      {monday, "Hms", Row("03:04:05")}, {monday, std::string("H\0ms", 4), Row("03")},  // a 0 ends the letters
      {monday, "sHhxmZzz", Row("050303:04")}, {LocalSeconds(2024, 5, 5, 12, 0, 0), "W", Row("dec")},  // Sunday
      {LocalSeconds(2024, 5, 11, 12, 0, 0), "wD", Row("dek11c")},
  };
  for (const auto& [now, format, shows] : clocks) {
    ClockSimulate(now);
    Load(Digital(format));
    EXPECT_EQ(Draw(RenderDigitalClock), shows) << format;
  }
  ClockSimulate(monday);
  Load(Digital("YD", 8, 3));
  EXPECT_EQ(Draw(RenderDigitalClock), Row("2024a6c", 8));
  EXPECT_EQ(Draw(RenderDigitalClock, false), "");  // drawn on its request or a second only
}

using TimePlayTest = TextPlayTest;

TEST_F(TimePlayTest, TimerDigitalClockAndAnimationOnOnePage) {
  Start(64, 20, 4, LEDVIEW_TEST_FONT, LocalSeconds(2024, 5, 6, 12, 0, 0));
  Bill bill;
  Page& page = bill.AddPage();
  page.AddArea(20, 0, 44, 1, 1).AddComponent(0, 0, 44, 1).AddElement(3, Timer(1, 2024, 5, 6, 12, 1, 5, "ms"));
  Area& right = page.AddArea(20, 2, 44, 18);
  right.AddComponent(0, 0, 44, 1).AddElement(5, Digital("YMD"));
  right.AddComponent(0, 2, 16, 2).AddElement(6, Animation(2));
  ASSERT_EQ(Play(bill), 0);
  auto shown = [this](int y, int x, int w) { return Trim(Host(x, y, w, 1)); };
  Second();
  EXPECT_EQ(shown(0, 20, 44), Row("01:04"));
  EXPECT_EQ(shown(2, 20, 44), Row("2024a5b6c"));
  EXPECT_EQ(shown(4, 20, 16), "1");
  // A second per refresh that saw one; frames ten ticks apart.
  NotifySecond();
  NotifySecond();  // both raise the same pending bit
  Tick(9);
  EXPECT_EQ(shown(0, 20, 44), Row("01:03"));
  Tick(1);
  EXPECT_EQ(shown(4, 20, 16), "2");
  Tick(10);
  EXPECT_EQ(shown(0, 20, 44), Row("01:03"));  // action intervals alone do not count
  EXPECT_EQ(shown(4, 20, 16), "1");  // the first frame again
  EXPECT_EQ(shown(5, 20, 16), "");  // one-row frames leave the second row alone
}

// Strips larger than their components in every format, with padded rows,
// and the widest hands: nothing lands outside the four components.
TEST_F(TimePlayTest, EveryPixelStaysInsideItsComponent) {
  std::vector<uint8_t> clock = ClockPayload(7, 7, 7, 7, 7);
  std::fill(clock.begin() + 24, clock.begin() + 28, 0xFF);  // hand widths
  for (uint32_t format = 0; format < 16; ++format) {
    Start(48, 16, format % 2 ? 1 : 4, LEDVIEW_TEST_FONT, LocalSeconds(2024, 5, 6, 12, 0, 0));
    bill::FrameStrip big{11, 40, 9, format, bill::RowBytes(40, format) + 1, {}};
    big.pixels.assign(size_t{11} * 9 * big.pitch, 0xB7);
    bill::Timer timer{1, 2030, 1, 1, 0, 0, 0, "HhmsDdx", big};
    bill::DigitalClock digital{1, "YMDWwHm", big, big};
    const std::vector<uint8_t> payloads[] = {bill::TimerBytes(timer), clock, bill::DigitalClockBytes(digital),
                                             bill::FrameStripBytes(big)};
    Bill bill;
    Area& area = bill.AddPage().AddArea(2, 1, 44, 14);
    for (uint16_t k = 0; k < 4; ++k) area.AddComponent(11 * k + 1, 1, 10, 12).AddElement(k + 3, payloads[k]);
    ASSERT_EQ(Play(bill), 0) << format;
    for (int step = 0; step < 4; ++step, Tick(10)) NotifySecond();
    std::string all = Host(0, 0, 48, 16);
    EXPECT_NE(all.find_first_not_of(".\n"), std::string::npos) << format;  // something is drawn
    for (int y = 2; y < 14; ++y)
      for (int k = 0; k < 4; ++k) all.replace(static_cast<size_t>(y) * 49 + 11 * k + 3, 10, 10, '.');
    EXPECT_EQ(all.find_first_not_of(".\n"), std::string::npos) << "format " << format << "\n" << all;
    ReleasePreview();
  }
}

// The most negative value has no positive twin in 32 bits, and a radix without digits would divide by zero.
TEST(IntToTextTest, ExtremesAndBadRadixes) {
  int32_t n = -1;
  EXPECT_STREQ(IntToText(INT_MIN, 10, &n), "-2147483648");
  EXPECT_EQ(n, 11);
  EXPECT_STREQ(IntToText(42, 0, &n), "42");
  EXPECT_STREQ(IntToText(0, 17, &n), "0");
}

}  // namespace
}  // namespace ledview::test
