// Timers and digital clocks: the renderers called directly with the clock
// pinned, then the time kinds played through the exported
// functions. Frame f of the test strips shows f + 1 in binary over its first
// four pixels on every row, so Row() writes what a row of digits ('0'..'9',
// ':' for the separator, colour 1) and labels ('a'..'k', colour 2) shows.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "content/timeelements.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "ledview/billwriter.h"
#include "playbill/scheduler.h"
#include "support/picture.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

bill::FrameStrip Strip(uint32_t frames, uint32_t colour, uint16_t width = 4, uint16_t height = 1) {
  bill::FrameStrip s{frames, width, height, colour, (width + 7u) / 8u, {}};
  s.pixels.assign(static_cast<size_t>(frames) * height * s.pitch, 0);
  for (uint32_t i = 0; i < frames * height; ++i) s.pixels[i * s.pitch] = static_cast<uint8_t>((i / height + 1) << 4);
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
    s += Glyph(c == ':' ? 10 : label ? c - 'a' : c - '0', label ? '2' : '1') + std::string(label ? labelwidth - 4 : 0, '.');
  }
  return Trim(s);
}
std::vector<uint8_t> Timer(uint32_t down, int16_t year, int8_t month, int8_t day, int16_t hour, int8_t minute,
                           int8_t second, const std::string& format, uint16_t digitwidth = 4) {
  bill::Timer t{down, year, month, day, hour, minute, second, {}, Strip(11, 1, digitwidth)};
  format.copy(t.format, 8);
  return bill::TimerBytes(t);
}
// The strips `gap` bytes after what precedes them: unaligned offsets.
std::vector<uint8_t> Digital(std::string format, uint16_t labelwidth = 4, uint16_t digitheight = 1, uint32_t gap = 0) {
  std::vector<uint8_t> out;
  bill::Append32(out, 1);
  format.resize(8, '\0');
  out.insert(out.end(), format.begin(), format.end());
  const std::vector<uint8_t> digits = bill::FrameStripBytes(Strip(11, 1, 4, digitheight));
  const std::vector<uint8_t> labels = bill::FrameStripBytes(Strip(11, 2, labelwidth));
  bill::Append32(out, 20 + gap);
  bill::Append32(out, static_cast<uint32_t>(20 + 2 * gap + digits.size()));
  out.resize(20 + gap, 0xAA);
  out.insert(out.end(), digits.begin(), digits.end());
  out.resize(out.size() + gap, 0xAA);
  out.insert(out.end(), labels.begin(), labels.end());
  return out;
}
// Frame f lights pixel `at` in colour f + 1.
std::vector<uint8_t> Animation(uint32_t count, int at = 0) {
  std::vector<uint8_t> strip = bill::FrameStripBytes(Strip(count, 8));
  for (uint32_t f = 0; f < count; ++f) strip[16 + f] = static_cast<uint8_t>((f + 1) << (2 * at));
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
  void Load(std::vector<uint8_t> bytes, int32_t timerstate = -1) {
    payload = std::move(bytes);
    element = ElementNode{};
    element.payload = payload.data();
    element.timerstate = timerstate;
    element.flags = 1;  // as the loader leaves it
  }
  // One drawing on a cleared screen, for the second bit or without it.
  std::string Draw(ElementRenderer render, uint16_t width = 64, bool second = true) {
    ClearFrameBuffer();
    refreshflags = second ? kRefreshSecond : 0;
    DestRect rect{0, 0, width, 1};
    EXPECT_EQ(render(&element, &rect), 0);
    return Trim(ReadPicture(0, 0, 64, 1));
  }
  std::vector<uint8_t> payload;
  ElementNode element{};
};

TEST_F(TimeElementTest, TimerFormatsDirectionsAndTargets) {
  struct Case {
    int64_t now;
    std::vector<uint8_t> timer;
    std::string shows;
    uint16_t width = 64;
  };
  const int64_t jan1 = LocalSeconds(2030, 1, 1, 0, 0, 0), past = LocalSeconds(2030, 1, 1, 1, 2, 3);
  const Case cases[] = {
      {jan1, Timer(1, 2030, 1, 3, 0, 0, 0, "hmsD"), Row("23:59:591")},  // the first drawing takes a second
      {jan1, Timer(1, 2030, 1, 3, 3, 0, 1, "Hms"), Row("51")},  // total hours and days end the format
      {jan1, Timer(1, 2030, 1, 31, 0, 0, 1, "d"), Row("30")},
      {past, Timer(0, 2030, 1, 1, 0, 0, 0, "msxh"), Row("02:0301")},  // a separator only after a number
      {jan1, Timer(0, 2030, 1, 2, 0, 0, 0, "hms"), Row("00:00:00")},  // counting up, not yet started
      {jan1, Timer(1, 2029, 13, 1, 0, 0, 5, "hms"), Row("00:00:04")},  // month 13 is next January
      {jan1, Timer(1, 2030, 1, 1, 1, 2, 4, "hms"), "...1..1.1", 10},  // cut at the edge, in the separator
      {jan1, Timer(1, -32768, -128, -128, -32768, -128, -128, "HhmsDd"), Row("0")},
      {int64_t{1} << 50, Timer(0, 2030, 1, 1, 0, 0, 0, "H"), Row("2147483616")},  // the largest count, no wrap
  };
  for (const Case& c : cases) {
    ClockSimulate(c.now);
    Load(c.timer);
    EXPECT_EQ(Draw(RenderTimer, c.width), c.shows) << c.shows;
  }
  // Counting down, each drawing is a second whatever the clock says.
  ClockSimulate(jan1);
  Load(Timer(1, 2030, 1, 1, 0, 0, 3, "hms"));
  EXPECT_EQ(RenderTimer(&element, nullptr), 0);  // release keeps the count
  EXPECT_EQ(Draw(RenderTimer, 64, false), Row("00:00:02"));  // the loader's request
  EXPECT_EQ(Draw(RenderTimer, 64, false), "");  // nothing pending
  ClockAdvance(100);
  EXPECT_EQ(Draw(RenderTimer), Row("00:00:01"));
  EXPECT_EQ(Draw(RenderTimer), Row("00:00:00"));
  EXPECT_EQ(Draw(RenderTimer), Row("00:00:00"));
}

// 2024-05-06 was a Monday.
TEST_F(TimeElementTest, DigitalClockLettersLabelsAndWeekdays) {
  const int64_t monday = LocalSeconds(2024, 5, 6, 3, 4, 5), dec16 = LocalSeconds(2024, 12, 16, 3, 4, 5);
  const std::vector<std::tuple<int64_t, std::string, std::string>> cases = {
      {monday, "YMD", Row("2024a5b6c")}, {dec16, "YMD", Row("2024a12b16c")},
      {dec16, "ymd", Row("2024a0416c")},  // 'm' is the minute
      {monday, "Hms", Row("03:04:05")}, {monday, std::string("H\0ms", 4), Row("03")},  // a 0 ends the letters
      {monday, "sHhxmZzz", Row("050303:04")}, {LocalSeconds(2024, 5, 5, 12, 0, 0), "W", Row("dec")},  // Sunday
      {monday, "W", Row("def")}, {LocalSeconds(2024, 5, 11, 12, 0, 0), "wD", Row("dek11c")},
  };
  for (const auto& [now, format, shows] : cases) {
    ClockSimulate(now);
    Load(Digital(format));
    EXPECT_EQ(Draw(RenderDigitalClock), shows) << format;
  }
  ClockSimulate(monday);
  Load(Digital("YD", 8, 1, 3));
  EXPECT_EQ(Draw(RenderDigitalClock), Row("2024a6c", 8));
  Load(Digital("Hms"));
  EXPECT_EQ(Draw(RenderDigitalClock, 18), Row("03:0") + Glyph(4, '1').substr(0, 2));
  EXPECT_EQ(Draw(RenderDigitalClock, 64, false), "");  // drawn on its request or a second only
  // Digits taller than the rectangle are cut; labels keep their single row.
  Load(Digital("D", 4, 3));
  DestRect rect{0, 2, 64, 2};
  RenderDigitalClock(&element, &rect);
  EXPECT_EQ(ReadPicture(0, 1, 8, 4), "........\n" + Glyph(6, '1') + Glyph(2, '2') + "\n" + Glyph(6, '1') + "....\n........");
}

using TimePlayTest = TextPlayTest;

TEST_F(TimePlayTest, TimerDigitalClockAndAnimationOnOnePage) {
  Start(64, 20, 4, LEDVIEW_TEST_FONT, LocalSeconds(2024, 5, 6, 12, 0, 0));
  Bill bill;
  Page& page = bill.AddPage();
  page.AddArea(20, 0, 44, 1, 1).AddComponent(0, 0, 44, 1).AddElement(3, Timer(1, 2024, 5, 6, 12, 1, 5, "ms"));
  Area& right = page.AddArea(20, 2, 44, 18);
  right.AddComponent(0, 0, 44, 1).AddElement(5, Digital("YMD"));
  Component& anim = right.AddComponent(0, 2, 16, 2);
  anim.AddElement(6, Animation(2));
  anim.AddElement(6, Animation(1, 2));
  ASSERT_EQ(Play(bill), 0);
  auto shown = [this](int y, int x, int w) { return Trim(Host(x, y, w, 1)); };
  Second();
  EXPECT_EQ(shown(0, 20, 44), Row("01:04"));
  EXPECT_EQ(shown(2, 20, 44), Row("2024a5b6c"));
  EXPECT_EQ(shown(4, 20, 16), "1");
  // A second per refresh that saw one; frames ten ticks apart, and ten
  // ticks after the last the next element.
  NotifySecond();
  NotifySecond();  // both raise the same pending bit
  Tick(9);
  EXPECT_EQ(shown(0, 20, 44), Row("01:03"));
  EXPECT_EQ(shown(4, 20, 16), "1");
  Tick(1);
  EXPECT_EQ(shown(4, 20, 16), "2");
  Tick(10);
  EXPECT_EQ(shown(0, 20, 44), Row("01:03"));  // action intervals alone do not count
  EXPECT_EQ(shown(4, 20, 16), "..1");
  EXPECT_EQ(shown(5, 20, 16), "");  // one-row frames leave the second row alone
  Tick(10);
  EXPECT_EQ(shown(4, 20, 16), "1");  // the first again, from its first frame
}

// Any strip sizes and formats, format letters, targets and hand widths:
// nothing lands outside the component.
TEST_F(TimePlayTest, EveryPixelStaysInsideTheComponent) {
  std::mt19937 rng(20240506);
  auto pick = [&rng](uint32_t lo, uint32_t hi) { return std::uniform_int_distribution<uint32_t>(lo, hi)(rng); };
  auto strip = [&pick](uint32_t frames) {
    bill::FrameStrip s{frames, static_cast<uint16_t>(pick(0, 40)), static_cast<uint16_t>(pick(0, 9)), pick(0, 15), 0, {}};
    s.pitch = bill::RowBytes(s.width, s.format) + pick(0, 2);
    s.pixels.resize(static_cast<size_t>(frames) * s.height * s.pitch);
    for (uint8_t& b : s.pixels) b = static_cast<uint8_t>(pick(0, 255));
    return bill::FrameStripBytes(s);
  };
  int drawn = 0;  // rounds that lit something, so that the check has teeth
  for (int round = 0; round < 48; ++round) {
    Start(64, 20, round % 2 ? 1 : 4, LEDVIEW_TEST_FONT, LocalSeconds(2000 + static_cast<int>(pick(0, 60)), 6, 15, 12, 0, 0));
    const uint32_t type = pick(3, 6);
    std::vector<uint8_t> payload = type == 6 ? strip(pick(1, 4)) : type == 4 ? ClockPayload(7, 7, 7, 7, 7)
                                   : type == 3 ? Timer(pick(0, 1), 0, 0, 0, 0, 0, 0, "") : Digital("");
    // Letters (the 0 too) for a timer's target fields and format and a digital clock's format.
    for (size_t k = 4; k < (type == 3 ? 20u : type == 5 ? 12u : 4u); ++k) payload[k] = "DdHhMmsWwYyx"[pick(0, 12)];
    if (type == 4) for (int k = 24; k < 28; ++k) payload[k] = static_cast<uint8_t>(pick(0, 255));  // hand widths
    if (type == 3 || type == 5) {
      payload.resize(20);
      for (int n = type == 3 ? 1 : 2; n > 0; --n) {
        if (n == 1 && type == 5) PutU32(payload, 16, static_cast<uint32_t>(payload.size()));
        const std::vector<uint8_t> s = strip(11);
        payload.insert(payload.end(), s.begin(), s.end());
      }
    }
    Bill bill;
    bill.AddPage().AddArea(8, 3, 40, 14, pick(0, 1)).AddComponent(2, 1, 24, 12).AddElement(static_cast<uint16_t>(type), payload);
    std::fill(output.begin(), output.end(), 0);
    const std::vector<uint8_t> bytes = bill.Bytes();
    ASSERT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0) << round;
    for (int step = 0; step < 4; ++step, Tick(10)) NotifySecond();
    std::string all = Host(0, 0, 64, 20);
    drawn += all.find_first_not_of(".\n") != std::string::npos;
    for (int y = 4; y < 16; ++y) all.replace(static_cast<size_t>(y) * 65 + 10, 24, 24, '.');
    EXPECT_EQ(all.find_first_not_of(".\n"), std::string::npos) << "round " << round << " type " << type;
    ReleasePreview();
  }
  EXPECT_GT(drawn, 24);
}

}  // namespace
}  // namespace ledview::test
