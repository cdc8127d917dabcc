// Timer, digital clock and animation renderers called directly on an element
// record, with the clock pinned and the first row read back from the
// framebuffer (see timestrips.h for how frames read).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/timeelements.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "platform/platform.h"
#include "playbill/scheduler.h"
#include "support/engine_fixture.h"
#include "support/picture.h"
#include "support/timestrips.h"

namespace ledview::test {
namespace {

constexpr int32_t kScreenWidth = 64;

std::string Trim(std::string s) { return s.substr(0, s.find_last_not_of('.') + 1); }

class TimeElementTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(kScreenWidth, 8, 4), 0);
    ClearTimers();
  }
  void TearDown() override {
    ClockUseReal();
    refreshflags = 0;
    ClearTimers();
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
  std::string Draw(ElementRenderer render, int32_t width = kScreenWidth, bool second = true) {
    ClearFrameBuffer();
    refreshflags = second ? kRefreshSecond : 0;
    DestRect rect{0, 0, static_cast<uint16_t>(width), 1};
    EXPECT_EQ(render(&element, &rect), 0);
    refreshflags = 0;
    return Trim(ReadPicture(0, 0, kScreenWidth, 1));
  }
  std::vector<uint8_t> payload;
  ElementNode element{};
};

TEST_F(TimeElementTest, TimerFormatsDirectionsAndTargets) {
  struct Case {
    int64_t now;
    std::vector<uint8_t> timer;
    std::string shows;
    int32_t width = kScreenWidth;
  };
  const int64_t jan1 = LocalSeconds(2030, 1, 1, 0, 0, 0);
  const Case cases[] = {
      // The first drawing already takes a second off.
      {jan1, TimerBytes(1, 2030, 1, 2, 0, 0, 5, "hmsD"), Row("00:00:041")},
      {jan1, TimerBytes(1, 2030, 1, 3, 0, 0, 0, "hmsD"), Row("23:59:591")},  // borrows through the counters
      {jan1, TimerBytes(1, 2029, 12, 31, 23, 59, 0, "hmsD"), Row("00:00:000")},  // passed
      {jan1, TimerBytes(1, 2030, 1, 3, 3, 0, 1, "Hms"), Row("51")},  // total hours end the format
      {jan1, TimerBytes(1, 2030, 1, 3, 3, 0, 1, "dhms"), Row("2")},
      {jan1, TimerBytes(1, 2030, 1, 1, 0, 0, 1, "D"), Row("0")},
      {jan1, TimerBytes(1, 2030, 1, 31, 0, 0, 1, "d"), Row("30")},
      {LocalSeconds(2030, 1, 2, 1, 1, 1), TimerBytes(0, 2030, 1, 1, 0, 0, 0, "hmsD"), Row("01:01:011")},
      {LocalSeconds(2029, 1, 2, 1, 1, 1), TimerBytes(0, 2030, 1, 1, 0, 0, 0, "hms"), Row("00:00:00")},  // not yet
      // The separator goes before minutes and seconds only after a number.
      {LocalSeconds(2030, 1, 1, 1, 2, 3), TimerBytes(0, 2030, 1, 1, 0, 0, 0, "msxh"), Row("02:0301")},
      {LocalSeconds(2030, 1, 1, 1, 2, 3), TimerBytes(0, 2030, 1, 1, 0, 0, 0, "s?hm"), Row("0301:02")},
      // Target fields carry like a calendar: month 13, hour 25.
      {LocalSeconds(2029, 12, 31, 23, 59, 0), TimerBytes(1, 2029, 13, 1, 0, 0, 0, "hms"), Row("00:00:59")},
      {LocalSeconds(2029, 12, 31, 23, 59, 0), TimerBytes(1, 2029, 12, 31, 25, 0, 0, "hms"), Row("01:00:59")},
      // Drawing stops where the rectangle ends, inside a frame too.
      {jan1, TimerBytes(1, 2030, 1, 1, 1, 2, 4, "hms"), Row("01") + Glyph(10, '1').substr(0, 2), 10},
      {jan1, TimerBytes(1, 2030, 1, 1, 11, 2, 4, "hms", 8), "..1", 3},
      {jan1, TimerBytes(1, 2030, 1, 1, 11, 2, 4, "hms"), "", 0},
      // Far targets and clocks never wrap: the largest count instead.
      {jan1, TimerBytes(1, -32768, -128, -128, -32768, -128, -128, "HhmsDd"), Row("0")},
      {int64_t{1} << 50, TimerBytes(0, 2030, 1, 1, 0, 0, 0, "H"), Row("2147483616")},
      {int64_t{1} << 50, TimerBytes(0, 2030, 1, 1, 0, 0, 0, "hmsD"), Row("00:00:0089478484")},
  };
  for (const Case& c : cases) {
    ClockSimulate(c.now);
    Load(c.timer);
    EXPECT_EQ(Draw(RenderTimer, c.width), Trim(c.shows)) << c.shows;
  }
}

TEST_F(TimeElementTest, CountDownGoesASecondPerDrawingAndDrawsOnlyWhenAsked) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(TimerBytes(1, 2030, 1, 1, 0, 0, 3, "hms"));
  EXPECT_EQ(RenderTimer(&element, nullptr), 0);  // release: keeps the count
  EXPECT_EQ(Draw(RenderTimer, kScreenWidth, false), Trim(Row("00:00:02")));  // the loader's request
  EXPECT_EQ(element.flags, 0u);
  EXPECT_EQ(Draw(RenderTimer, kScreenWidth, false), "");  // nothing pending
  ClockAdvance(100);  // whatever the clock says meanwhile
  EXPECT_EQ(Draw(RenderTimer), Trim(Row("00:00:01")));
  EXPECT_EQ(Draw(RenderTimer), Trim(Row("00:00:00")));
  EXPECT_EQ(Draw(RenderTimer), Trim(Row("00:00:00")));  // and stops at zero
}

// 2024-05-06 was a Monday.
TEST_F(TimeElementTest, DigitalClockLettersLabelsAndWeekdays) {
  struct Case {
    int64_t now;
    std::string format;
    std::string shows;
  };
  const int64_t monday = LocalSeconds(2024, 5, 6, 3, 4, 5);
  const Case cases[] = {
      {monday, "YMD", Row("2024a5b6c")}, {LocalSeconds(2024, 12, 16, 3, 4, 5), "YMD", Row("2024a12b16c")},
      {LocalSeconds(2024, 12, 16, 3, 4, 5), "ymd", Row("2024a0416c")},  // 'm' is the minute
      {monday, "Hms", Row("03:04:05")}, {monday, "ms", Row("04:05")},
      {monday, std::string("H\0ms", 4), Row("03")},  // a 0 ends the letters
      {monday, "sHhxmZzz", Row("050303:04")},
      {LocalSeconds(2024, 5, 5, 12, 0, 0), "W", Row("dec")},  // Sunday: label 2
      {monday, "W", Row("def")}, {LocalSeconds(2024, 5, 11, 12, 0, 0), "wD", Row("dek11c")},
  };
  for (const Case& c : cases) {
    ClockSimulate(c.now);
    Load(DigitalBytes(c.format));
    EXPECT_EQ(Draw(RenderDigitalClock), Trim(c.shows)) << c.format;
  }
  // Strips of their own sizes at odd offsets; drawing stops at the edge.
  ClockSimulate(monday);
  Load(DigitalBytes("YD", 4, 8, 1, 3));
  EXPECT_EQ(Draw(RenderDigitalClock), Trim(Row("2024a6c", 4, 8)));
  Load(DigitalBytes("YMDW", 8, 4));
  EXPECT_EQ(Draw(RenderDigitalClock, 5), Glyph(2, '1'));
  Load(DigitalBytes("Hms"));
  EXPECT_EQ(Draw(RenderDigitalClock, 18), Trim(Row("03:0") + Glyph(4, '1').substr(0, 2)));
  EXPECT_EQ(Draw(RenderDigitalClock, kScreenWidth, false), "");  // drawn only on its request or a second
  // Digits taller than the rectangle are cut; labels keep their single row.
  Load(DigitalBytes("D", 4, 4, 3));
  ClearFrameBuffer();
  refreshflags = kRefreshSecond;
  DestRect rect{0, 2, kScreenWidth, 2};
  RenderDigitalClock(&element, &rect);
  EXPECT_EQ(ReadPicture(0, 1, 8, 4), "........\n" + Glyph(6, '1') + Glyph(2, '2') + "\n" + Glyph(6, '1') + "....\n........");
}

TEST_F(TimeElementTest, AnimationShowsAFrameOnEachRequestAndHandsOverAfterTheLast) {
  Load(AnimationFrames(3), 0);
  DestRect rect{0, 0, 4, 1};
  DestRect empty{0, 0, 0, 1};
  EXPECT_EQ(RenderAnimation(&element, &empty), 0);
  EXPECT_EQ(element.flags, 1u);  // still due
  FillFrameBuffer(7);
  for (int f = 0; f < 3; ++f) {
    ClearTimers();
    element.flags = 1;
    const int32_t result = RenderAnimation(&element, &rect);
    EXPECT_EQ(ReadPicture(0, 0, 6, 1), std::to_string(f + 1) + "...77") << f;  // frames are opaque
    EXPECT_EQ(element.flags, 0u);
    EXPECT_EQ(result, f < 2 ? 0 : -10);  // hands over ten ticks after the last
    EXPECT_EQ(element.step, f < 2 ? static_cast<uint32_t>(f + 1) : 0u);
    const bool armed = ticktimers[0].count == 10 && ticktimers[0].target == &element.flags;
    EXPECT_EQ(armed, f < 2);
  }
  refreshflags = kRefreshSecond | kRefreshAction;  // not its reasons
  EXPECT_EQ(RenderAnimation(&element, &rect), 0);
  EXPECT_EQ(element.step, 0u);
  element.flags = 1;
  RenderAnimation(&element, &rect);
  EXPECT_EQ(RenderAnimation(&element, nullptr), 0);  // release restarts
  EXPECT_EQ(element.step, 0u);
}

}  // namespace
}  // namespace ledview::test
