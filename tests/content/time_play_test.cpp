// Timers, digital clocks, analog clocks and animations played through the
// exported functions: a playbill in, ticks and seconds, the host's buffer out.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ledview.h"
#include "ledview/billwriter.h"
#include "platform/platform.h"
#include "support/text_play.h"
#include "support/timestrips.h"

namespace ledview::test {
namespace {

// A 64 x 20 sign in colour mode 4.
class TimePlayTest : public TextPlayTest {
 protected:
  void Start(int64_t when) { TextPlayTest::Start(64, 20, 4, LEDVIEW_TEST_FONT, when); }
  static void Actions(int n) {
    for (int i = 0; i < n; ++i) NotifyActtion();
    RefreshBuffer();
  }
  // Row y from x, `w` pixels, dark end cut off.
  std::string Shown(int y, int x = 0, int w = 64) const {
    const std::string s = Host(x, y, w, 1);
    return s.substr(0, s.find_last_not_of('.') + 1);
  }
  static std::string Trim(const std::string& s) { return s.substr(0, s.find_last_not_of('.') + 1); }
};

TEST_F(TimePlayTest, AllFourKindsOnOnePage) {
  Start(LocalSeconds(2024, 5, 6, 12, 0, 0));
  Bill bill;
  Page& page = bill.AddPage();
  page.AddArea(0, 0, 20, 20).AddComponent(0, 0, 20, 20).AddElement(4, ClockPayload(1, 2, 3, 4, 5));
  // The timer in a static area, drawn on every refresh that saw a second.
  page.AddArea(20, 0, 44, 1, 1).AddComponent(0, 0, 44, 1).AddElement(3, TimerBytes(1, 2024, 5, 6, 12, 1, 5, "ms"));
  Area& right = page.AddArea(20, 2, 44, 18);
  right.AddComponent(0, 0, 44, 1).AddElement(5, DigitalBytes("YMD"));
  Component& anim = right.AddComponent(0, 2, 16, 2);
  anim.AddElement(6, AnimationFrames(2));
  anim.AddElement(6, AnimationFrames(1, 2));
  ASSERT_EQ(Play(bill), 0);
  Second();
  EXPECT_EQ(Shown(1, 0, 20), "..........1");  // 12 o'clock mark
  EXPECT_EQ(Shown(4, 0, 20), ".......22.5..22");  // second hand straight up
  EXPECT_EQ(Shown(0, 20, 44), Trim(Row("01:04")));
  EXPECT_EQ(Shown(2, 20, 44), Trim(Row("2024a5b6c")));
  EXPECT_EQ(Shown(4, 20, 16), "1");
  // The timer counts a second per refresh that saw one; the animation's
  // frames come ten ticks apart and ten ticks after the last the next
  // element follows.
  NotifySecond();
  NotifySecond();  // both raise the same pending bit
  Actions(9);
  EXPECT_EQ(Shown(0, 20, 44), Trim(Row("01:03")));
  EXPECT_EQ(Shown(4, 20, 16), "1");
  Actions(1);
  EXPECT_EQ(Shown(4, 20, 16), "2");
  Actions(9);
  EXPECT_EQ(Shown(0, 20, 44), Trim(Row("01:03")));  // an action interval alone does not count
  EXPECT_EQ(Shown(4, 20, 16), "2");
  Actions(1);
  EXPECT_EQ(Shown(4, 20, 16), "..1");
  EXPECT_EQ(Shown(5, 20, 16), "");  // one-row frames leave the second row alone
}

// Any strip sizes and formats, format letters and target dates: nothing
// lands outside the component.
TEST(TimePlayRobustness, EveryPixelStaysInsideTheComponent) {
  std::mt19937 rng(20240506);
  auto pick = [&rng](uint32_t lo, uint32_t hi) { return std::uniform_int_distribution<uint32_t>(lo, hi)(rng); };
  auto strip = [&pick](uint32_t frames) {
    const uint32_t width = pick(0, 40), height = pick(0, 9), format = pick(0, 15);
    bill::FrameStrip s{frames, static_cast<uint16_t>(width), static_cast<uint16_t>(height), format,
                       bill::RowBytes(width, format) + pick(0, 2), {}};
    s.pixels.resize(static_cast<size_t>(frames) * height * s.pitch);
    for (uint8_t& b : s.pixels) b = static_cast<uint8_t>(pick(0, 255));
    return bill::FrameStripBytes(s);
  };
  static constexpr char kLetters[] = "DdHhMmsWwYyx";
  std::vector<uint8_t> out(64 * 20);
  int drawn = 0;  // rounds that lit something, so that the check has teeth
  for (int mode : {1, 4}) {
    ReleasePreview();
    ASSERT_EQ(InitLedConfigure(64, 20, mode), 0);
    ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
    for (int round = 0; round < 24; ++round) {
      ClockSimulate(LocalSeconds(2000 + static_cast<int>(pick(0, 60)), 6, 15, 12, 0, 0));
      std::string format(8, '\0');
      for (char& c : format) c = kLetters[pick(0, sizeof kLetters - 1)];  // the 0 too
      const uint32_t type = pick(3, 6);
      std::vector<uint8_t> payload;
      if (type == 3 || type == 5) {
        payload = type == 3 ? TimerBytes(pick(0, 1), static_cast<int16_t>(pick(0, 65535)), static_cast<int8_t>(pick(0, 255)),
                                         static_cast<int8_t>(pick(0, 255)), static_cast<int16_t>(pick(0, 65535)),
                                         static_cast<int8_t>(pick(0, 255)), static_cast<int8_t>(pick(0, 255)), format)
                            : DigitalBytes(format);
        payload.resize(20);
        const std::vector<uint8_t> digits = strip(11);
        payload.insert(payload.end(), digits.begin(), digits.end());
        if (type == 5) {
          PutU32(payload, 16, static_cast<uint32_t>(payload.size()));
          const std::vector<uint8_t> labels = strip(11);
          payload.insert(payload.end(), labels.begin(), labels.end());
        }
      } else if (type == 4) {
        payload = ClockPayload(7, 7, 7, 7, 7);
        for (int k = 24; k < 28; ++k) payload[k] = static_cast<uint8_t>(pick(0, 255));  // hand widths
      } else {
        payload = strip(pick(1, 4));
      }
      Bill bill;
      bill.AddPage().AddArea(8, 3, 40, 14, pick(0, 1)).AddComponent(2, 1, 24, 12).AddElement(
          static_cast<uint16_t>(type), payload);
      const std::vector<uint8_t> bytes = bill.Bytes();
      std::fill(out.begin(), out.end(), 0);
      ASSERT_EQ(SetBmpBuffer(64, 20, 64, out.data()), 0);
      ASSERT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0) << round;
      for (int step = 0; step < 4; ++step) {
        NotifySecond();
        for (int i = 0; i < 10; ++i) NotifyActtion();
        RefreshBuffer();
      }
      bool lit = false;
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 64; ++x) {
          const bool on = out[static_cast<size_t>(y) * 64 + x] != 0;
          lit = lit || on;
          ASSERT_FALSE(on && !(x >= 10 && x < 34 && y >= 4 && y < 16)) << "round " << round << " type " << type << " at " << x << "," << y;
        }
      drawn += lit;
      ASSERT_EQ(EndPreview(), 0);
    }
  }
  EXPECT_GT(drawn, 24);
  ClockUseReal();
  ReleasePreview();
}

}  // namespace
}  // namespace ledview::test
