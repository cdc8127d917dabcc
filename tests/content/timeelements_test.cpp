// Timer, digital clock and animation renderers called directly on an element
// record, with the clock pinned and the pictures read back from the
// framebuffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/timeelements.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "platform/platform.h"
#include "playbill/scheduler.h"
#include "support/engine_fixture.h"
#include "support/localtime.h"
#include "support/picture.h"
#include "support/timestrips.h"

namespace ledview {
namespace {

using test::LocalSeconds;
using test::Row;

constexpr int32_t kScreenWidth = 64;

class TimeElementTest : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(kScreenWidth, 8, 4), 0);
    ClearFrameBuffer();
    ClearTimers();
    refreshflags = 0;
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

  // One drawing on the second bit, on a cleared screen; the first row of
  // the screen with its dark end cut off.
  std::string Second(ElementRenderer render, DestRect rect = DestRect{0, 0, kScreenWidth, 1}) {
    ClearFrameBuffer();
    refreshflags = kRefreshSecond;
    EXPECT_EQ(render(&element, &rect), 0);
    refreshflags = 0;
    return Shown();
  }

  static std::string Shown() {
    std::string row = test::ReadPicture(0, 0, kScreenWidth, 1);
    return row.substr(0, row.find_last_not_of('.') + 1);
  }

  static std::string Trim(std::string s) { return s.substr(0, s.find_last_not_of('.') + 1); }

  std::vector<uint8_t> payload;
  ElementNode element{};
};

// Counting down to 2030-01-02 00:00:05 from 2030-01-01 00:00:00.
TEST_F(TimeElementTest, CountDownTakesItsFirstSecondOnTheFirstDrawing) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(test::TimerBytes(1, 2030, 1, 2, 0, 0, 5, "hmsD"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:041")));
  EXPECT_EQ(element.timerstate, 0);
  EXPECT_EQ(element.flags, 0u);
  // Each drawing is one second, whatever the clock says meanwhile.
  ClockAdvance(100);
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:031")));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:021")));
}

TEST_F(TimeElementTest, CountDownBorrowsThroughTheCounters) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(test::TimerBytes(1, 2030, 1, 3, 0, 0, 0, "hmsD"));  // two days ahead
  EXPECT_EQ(Second(RenderTimer), Trim(Row("23:59:591")));
}

TEST_F(TimeElementTest, CountDownStopsAtZeroAndAPassedTargetShowsZeros) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(test::TimerBytes(1, 2030, 1, 1, 0, 0, 2, "hms"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:01")));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:00")));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:00")));

  Load(test::TimerBytes(1, 2029, 12, 31, 23, 59, 0, "hmsD"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:000")));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:000")));
}

TEST_F(TimeElementTest, DaysAndTotalHoursEndTheFormat) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(test::TimerBytes(1, 2030, 1, 3, 3, 0, 1, "Hms"));  // 2 d 03:00:01 ahead
  EXPECT_EQ(Second(RenderTimer), Trim(Row("51")));
  Load(test::TimerBytes(1, 2030, 1, 3, 3, 0, 1, "dhms"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("2")));
  Load(test::TimerBytes(1, 2030, 1, 1, 0, 0, 1, "D"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("0")));  // zero days is one digit
  Load(test::TimerBytes(1, 2030, 1, 31, 0, 0, 1, "d"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("30")));
}

TEST_F(TimeElementTest, CountUpFollowsTheClock) {
  ClockSimulate(LocalSeconds(2030, 1, 2, 1, 1, 1));
  Load(test::TimerBytes(0, 2030, 1, 1, 0, 0, 0, "hmsD"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("01:01:011")));
  ClockAdvance(59);
  EXPECT_EQ(Second(RenderTimer), Trim(Row("01:02:001")));
  ClockAdvance(-2 * 86400);  // the clock went back before the start
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:000")));
}

TEST_F(TimeElementTest, SeparatorComesBeforeMinutesAndSecondsOnlyAfterANumber) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 1, 2, 3));
  Load(test::TimerBytes(0, 2030, 1, 1, 0, 0, 0, "msxh"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("02:0301")));
  Load(test::TimerBytes(0, 2030, 1, 1, 0, 0, 0, "s?hm"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("0301:02")));
}

TEST_F(TimeElementTest, TargetFieldsAreNormalisedLikeACalendar) {
  // Month 13 of 2029 is January 2030.
  ClockSimulate(LocalSeconds(2029, 12, 31, 23, 59, 0));
  Load(test::TimerBytes(1, 2029, 13, 1, 0, 0, 0, "hms"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:59")));
  // Hour 25 of the last day of 2029.
  Load(test::TimerBytes(1, 2029, 12, 31, 25, 0, 0, "hms"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("01:00:59")));
}

TEST_F(TimeElementTest, TimerDrawsOnlyWhenAsked) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(test::TimerBytes(1, 2030, 1, 1, 0, 0, 10, "hms"));
  DestRect rect{0, 0, kScreenWidth, 1};
  EXPECT_EQ(RenderTimer(&element, nullptr), 0);  // release: keeps the count
  EXPECT_EQ(element.timerstate, -1);
  EXPECT_EQ(RenderTimer(&element, &rect), 0);  // run request from the loader
  EXPECT_EQ(Shown(), Trim(Row("00:00:09")));
  ClearFrameBuffer();
  EXPECT_EQ(RenderTimer(&element, &rect), 0);  // nothing pending
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(RenderTimer(&element, nullptr), 0);
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:08")));
}

TEST_F(TimeElementTest, NumbersStopWhereTheRectangleEnds) {
  ClockSimulate(LocalSeconds(2030, 1, 1, 0, 0, 0));
  Load(test::TimerBytes(1, 2030, 1, 1, 1, 2, 4, "hms"));
  // Ten pixels: two digits, then two columns of the separator.
  EXPECT_EQ(Second(RenderTimer, DestRect{0, 0, 10, 1}), Trim(Row("01") + test::Glyph(10, '1').substr(0, 2)));
  // A digit strip wider than the rectangle: the first digit, cut.
  Load(test::TimerBytes(1, 2030, 1, 1, 11, 2, 4, "hms", 8));
  EXPECT_EQ(Second(RenderTimer, DestRect{0, 0, 3, 1}), "..1");
  EXPECT_EQ(Second(RenderTimer, DestRect{0, 0, 0, 1}), "");
}

TEST_F(TimeElementTest, ExtremeTargetsAndClocks) {
  const int64_t now = LocalSeconds(2030, 1, 1, 0, 0, 0);
  ClockSimulate(now);
  // Every field out of range, carried into a year past 32767.
  Load(test::TimerBytes(1, 32767, 127, 127, 32767, 127, 127, "H"));
  const int64_t target = LocalSeconds(32767, 127, 127, 32767, 127, 127);
  ASSERT_GT(target, now);
  EXPECT_EQ(Second(RenderTimer), Trim(Row(std::to_string((target - now - 1) / 3600))));
  // Far in the past.
  Load(test::TimerBytes(1, -32768, -128, -128, -32768, -128, -128, "HhmsDd"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("0")));
  // A clock beyond what 32-bit hours can count shows the largest count
  // instead of wrapping.
  ClockSimulate(int64_t{1} << 50);
  Load(test::TimerBytes(0, 2030, 1, 1, 0, 0, 0, "H"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("2147483616")));
  Load(test::TimerBytes(0, 2030, 1, 1, 0, 0, 0, "hmsD"));
  EXPECT_EQ(Second(RenderTimer), Trim(Row("00:00:0089478484")));
}

// 2024-05-06 was a Monday.
TEST_F(TimeElementTest, DigitalClockDateWithLabels) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 4, 5));
  Load(test::DigitalBytes("YMD"));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("2024a5b6c")));
  ClockSimulate(LocalSeconds(2024, 12, 16, 3, 4, 5));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("2024a12b16c")));
  Load(test::DigitalBytes("ymd"));  // 'm' is the minute
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("2024a0416c")));
}

TEST_F(TimeElementTest, DigitalClockTimeWithSeparators) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 4, 5));
  Load(test::DigitalBytes("Hms"));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("03:04:05")));
  Load(test::DigitalBytes("ms"));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("04:05")));
  Load(test::DigitalBytes(std::string("H\0ms", 4)));  // a 0 ends the letters
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("03")));
  Load(test::DigitalBytes("sHhxmZzz"));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("050303:04")));
}

TEST_F(TimeElementTest, DigitalClockWeekdayNames) {
  Load(test::DigitalBytes("W"));
  ClockSimulate(LocalSeconds(2024, 5, 5, 12, 0, 0));  // Sunday: label 2
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("dec")));
  ClockSimulate(LocalSeconds(2024, 5, 6, 12, 0, 0));  // Monday: label 5
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("def")));
  ClockSimulate(LocalSeconds(2024, 5, 11, 12, 0, 0));  // Saturday: label 10
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("dek")));
  Load(test::DigitalBytes("wD"));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("dek11c")));
}

TEST_F(TimeElementTest, DigitalClockStripsOfTheirOwnSizesAtAnyOffset) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 4, 5));
  // Labels eight pixels wide; strips at odd offsets.
  Load(test::DigitalBytes("YD", 4, 8, 1, 3));
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("2024a6c", 4, 8)));
  // Digits taller than the rectangle are cut to it.
  Load(test::DigitalBytes("D", 4, 4, 3));
  const DestRect rect{0, 2, kScreenWidth, 2};
  ClearFrameBuffer();
  refreshflags = kRefreshSecond;
  DestRect r = rect;
  RenderDigitalClock(&element, &r);
  // Labels keep their own single row.
  const std::string six = test::Glyph(6, '1');
  EXPECT_EQ(test::ReadPicture(0, 1, 8, 4),
            "........\n" + six + test::Glyph(2, '2') + "\n" + six + "....\n........");
}

TEST_F(TimeElementTest, DigitalClockStopsWhereTheRectangleEnds) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 4, 5));
  Load(test::DigitalBytes("YMDW", 8, 4));
  EXPECT_EQ(Second(RenderDigitalClock, DestRect{0, 0, 5, 1}), Trim(test::Glyph(2, '1').substr(0, 4)));
  Load(test::DigitalBytes("Hms"));
  EXPECT_EQ(Second(RenderDigitalClock, DestRect{0, 0, 18, 1}),
            Trim(Row("03:0") + test::Glyph(4, '1').substr(0, 2)));
  EXPECT_EQ(RenderDigitalClock(&element, nullptr), 0);
}

TEST_F(TimeElementTest, DigitalClockDrawsOnlyWhenAsked) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 4, 5));
  Load(test::DigitalBytes("s"));
  DestRect rect{0, 0, kScreenWidth, 1};
  EXPECT_EQ(RenderDigitalClock(&element, &rect), 0);
  EXPECT_EQ(Shown(), Trim(Row("05")));
  ClearFrameBuffer();
  ClockAdvance(1);
  EXPECT_EQ(RenderDigitalClock(&element, &rect), 0);
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Second(RenderDigitalClock), Trim(Row("06")));
}


const TimerSlot* TimerOn(const uint32_t* target) {
  for (const TimerSlot& t : ticktimers) {
    if (t.count != 0 && t.target == target) return &t;
  }
  return nullptr;
}

TEST_F(TimeElementTest, AnimationShowsEachFrameOnItsOwnRequest) {
  Load(test::AnimationFrames(3), 0);
  DestRect rect{0, 0, 4, 1};
  const char* expected[3] = {"1", "2", "3"};
  for (int f = 0; f < 3; ++f) {
    ClearTimers();
    element.flags = 1;
    const int32_t result = RenderAnimation(&element, &rect);
    EXPECT_EQ(Shown(), expected[f]) << "frame " << f;
    EXPECT_EQ(element.flags, 0u);
    if (f < 2) {
      EXPECT_EQ(result, 0);
      const TimerSlot* t = TimerOn(&element.flags);
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->count, 10u);
      EXPECT_EQ(t->flag, 1u);
      EXPECT_EQ(element.timerstate, 1);
      EXPECT_EQ(element.step, static_cast<uint32_t>(f + 1));
    } else {
      EXPECT_EQ(result, -10);  // hands over ten ticks later
      EXPECT_EQ(TimerOn(&element.flags), nullptr);
      EXPECT_EQ(element.step, 0u);
    }
  }
}

TEST_F(TimeElementTest, AnimationFramesAreOpaque) {
  Load(test::AnimationFrames(2), 0);
  DestRect rect{0, 0, 4, 1};
  test::FillFrameBuffer(7);
  RenderAnimation(&element, &rect);
  EXPECT_EQ(test::ReadPicture(0, 0, 6, 1), "1...77");
}

TEST_F(TimeElementTest, AnimationWaitsForItsRequestAndRestartsOnRelease) {
  Load(test::AnimationFrames(3), 0);
  DestRect rect{0, 0, 4, 1};
  element.flags = 0;
  refreshflags = kRefreshSecond | kRefreshAction;  // not its reasons
  EXPECT_EQ(RenderAnimation(&element, &rect), 0);
  EXPECT_EQ(Shown(), "");
  element.flags = 1;
  DestRect empty{0, 0, 0, 1};
  EXPECT_EQ(RenderAnimation(&element, &empty), 0);
  EXPECT_EQ(element.flags, 1u);  // still due
  RenderAnimation(&element, &rect);
  element.flags = 1;
  RenderAnimation(&element, &rect);
  EXPECT_EQ(element.step, 2u);
  EXPECT_EQ(RenderAnimation(&element, nullptr), 0);
  EXPECT_EQ(element.step, 0u);
  element.flags = 1;
  RenderAnimation(&element, &rect);
  EXPECT_EQ(Shown(), "1");
}

}  // namespace
}  // namespace ledview
