// Timers, digital clocks, analog clocks and animations played through the
// exported functions: a playbill in, ticks and seconds, the host's buffer
// out.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ledview.h"
#include "platform/platform.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"
#include "support/localtime.h"
#include "support/text_play.h"
#include "support/timestrips.h"

namespace ledview {
namespace {

using test::Bill;
using test::Row;

constexpr int kWidth = 64;
constexpr int kHeight = 20;

// A 64 x 20 sign in colour mode 4 with the clock at `when`.
class TimePlayTest : public test::TextPlayTest {
 protected:
  void Start(int64_t when = 1000000) { TextPlayTest::Start(kWidth, kHeight, 4, LEDVIEW_TEST_FONT, when); }
  static void Actions(int n) {
    for (int i = 0; i < n; ++i) NotifyActtion();
  }
  // Row y of the host's buffer from x, `width` pixels, dark end cut off.
  std::string Shown(int y, int x = 0, int width = kWidth) const {
    const std::string s = Host(x, y, width, 1);
    return s.substr(0, s.find_last_not_of('.') + 1);
  }
};

std::string Trim(const std::string& s) { return s.substr(0, s.find_last_not_of('.') + 1); }


TEST_F(TimePlayTest, AnimationFramesTenTicksApartThenTheNextElement) {
  Start();
  Bill bill;
  test::Component& c = bill.AddPage().AddArea(0, 0, 16, 2).AddComponent(0, 0, 16, 2);
  c.AddElement(6, test::AnimationFrames(3));
  c.AddElement(6, test::AnimationFrames(1, 2));
  ASSERT_EQ(Play(bill), 0);

  NotifySecond();
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "1");
  Actions(9);  // an action interval passes, but the frame is not due yet
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "1");
  Actions(1);
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "2");
  Actions(10);
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "3");
  Actions(9);
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "3");
  Actions(1);  // ten ticks after the last frame appeared
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "..1");
  EXPECT_EQ(Shown(1), "");  // frames one row high leave the second row alone
  Actions(10);
  RefreshBuffer();
  EXPECT_EQ(Shown(0), "1");  // the first animation from its first frame
}

TEST_F(TimePlayTest, CountDownGoesOneSecondPerRefreshThatSawASecond) {
  Start(test::LocalSeconds(2030, 1, 1, 0, 0, 0));
  Bill bill;
  bill.AddPage().AddArea(0, 0, 32, 2, 1).AddComponent(0, 0, 32, 2).AddElement(
      3, test::TimerBytes(1, 2030, 1, 1, 0, 1, 5, "ms"));
  ASSERT_EQ(Play(bill), 0);
  NotifySecond();
  RefreshBuffer();
  EXPECT_EQ(Shown(0), Trim(Row("01:04")));
  NotifySecond();
  NotifySecond();  // both raise the same pending bit
  RefreshBuffer();
  EXPECT_EQ(Shown(0), Trim(Row("01:03")));
  Actions(9);  // an action interval alone does not count
  RefreshBuffer();
  EXPECT_EQ(Shown(0), Trim(Row("01:03")));
  NotifySecond();
  RefreshBuffer();
  EXPECT_EQ(Shown(0), Trim(Row("01:02")));
}

TEST_F(TimePlayTest, AllFourKindsOnOnePage) {
  Start(test::LocalSeconds(2024, 5, 6, 12, 0, 0));
  Bill bill;
  test::Page& page = bill.AddPage();
  page.AddArea(0, 0, 20, 20).AddComponent(0, 0, 20, 20).AddElement(
      4, test::ClockPayload(1, 2, 3, 4, 5));
  test::Area& right = page.AddArea(20, 0, 44, 20);
  right.AddComponent(0, 0, 44, 1).AddElement(
      3, test::TimerBytes(0, 2024, 5, 6, 11, 0, 0, "hms"));
  right.AddComponent(0, 2, 44, 1).AddElement(5, test::DigitalBytes("YMD"));
  right.AddComponent(0, 4, 4, 1).AddElement(6, test::AnimationFrames(2));
  ASSERT_EQ(Play(bill), 0);
  NotifySecond();
  RefreshBuffer();
  EXPECT_EQ(Shown(1, 0, 20), "..........1");  // 12 o'clock mark
  EXPECT_EQ(Shown(4, 0, 20), ".......22.5..22");      // second hand straight up
  EXPECT_EQ(Shown(0, 20, 44), Trim(Row("01:00:00")));
  EXPECT_EQ(Shown(2, 20, 44), Trim(Row("2024a5b6c")));
  EXPECT_EQ(Shown(4, 20, 44), "1");
}

std::vector<uint8_t> RandomStrip(std::mt19937& rng, uint32_t frames) {
  auto pick = [&rng](uint32_t lo, uint32_t hi) {
    return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
  };
  const uint32_t width = pick(0, 40);
  const uint32_t height = pick(0, 9);
  const uint32_t format = pick(0, 15);
  ledview::bill::FrameStrip s{frames, static_cast<uint16_t>(width), static_cast<uint16_t>(height), format,
                              ledview::bill::RowBytes(width, format) + pick(0, 2), {}};
  s.pixels.resize(static_cast<size_t>(frames) * height * s.pitch);
  for (uint8_t& b : s.pixels) b = static_cast<uint8_t>(pick(0, 255));
  return ledview::bill::FrameStripBytes(s);
}

// Any strip sizes and formats, format letters and target dates: nothing
// lands outside the component.
TEST(TimePlayRobustness, EveryPixelStaysInsideTheComponent) {
  std::mt19937 rng(20240506);
  auto pick = [&rng](uint32_t lo, uint32_t hi) {
    return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
  };
  static constexpr char kLetters[] = "DdHhMmsWwYyx";
  std::vector<uint8_t> out(kWidth * kHeight);
  int drawn = 0;  // rounds that lit something, so that the check has teeth
  for (int mode : {1, 2, 4}) {
    ReleasePreview();
    ASSERT_EQ(InitLedConfigure(kWidth, kHeight, mode), 0);
    ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
    for (int round = 0; round < 24; ++round) {
      ClockSimulate(test::LocalSeconds(2000 + static_cast<int>(pick(0, 60)), 6, 15, 12, 0, 0));
      std::string format(8, '\0');
      for (char& c : format) c = kLetters[pick(0, sizeof kLetters - 1)];  // includes the 0
      std::vector<uint8_t> payload;
      const uint32_t type = pick(3, 6);
      if (type == 3) {
        payload = test::TimerBytes(pick(0, 1), static_cast<int16_t>(pick(0, 65535)),
                                   static_cast<int8_t>(pick(0, 255)), static_cast<int8_t>(pick(0, 255)),
                                   static_cast<int16_t>(pick(0, 65535)),
                                   static_cast<int8_t>(pick(0, 255)), static_cast<int8_t>(pick(0, 255)),
                                   format);
        payload.resize(20);
        const std::vector<uint8_t> digits = RandomStrip(rng, 11);
        payload.insert(payload.end(), digits.begin(), digits.end());
      } else if (type == 5) {
        payload = test::DigitalBytes(format);
        payload.resize(20);
        const std::vector<uint8_t> digits = RandomStrip(rng, 11);
        const std::vector<uint8_t> labels = RandomStrip(rng, 11);
        test::PutU32(payload, 16, static_cast<uint32_t>(20 + digits.size()));
        payload.insert(payload.end(), digits.begin(), digits.end());
        payload.insert(payload.end(), labels.begin(), labels.end());
      } else if (type == 4) {
        payload = test::ClockPayload(7, 7, 7, 7, 7);
        for (int k = 24; k < 28; ++k) payload[k] = static_cast<uint8_t>(pick(0, 255));
      } else {
        payload = RandomStrip(rng, pick(1, 4));
      }
      Bill bill;
      bill.AddPage().AddArea(8, 3, 40, 14, pick(0, 1)).AddComponent(2, 1, 24, 12).AddElement(
          static_cast<uint16_t>(type), payload);
      const std::vector<uint8_t> bytes = bill.Bytes();
      std::fill(out.begin(), out.end(), 0);
      ASSERT_EQ(SetBmpBuffer(kWidth, kHeight, kWidth, out.data()), 0);
      ASSERT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0)
          << "round " << round << " type " << type;
      for (int step = 0; step < 4; ++step) {
        NotifySecond();
        for (int i = 0; i < 10; ++i) NotifyActtion();
        RefreshBuffer();
      }
      bool lit = false;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const bool inside = x >= 10 && x < 34 && y >= 4 && y < 16;
          lit = lit || out[static_cast<size_t>(y) * kWidth + x] != 0;
          if (!inside) {
            ASSERT_EQ(out[static_cast<size_t>(y) * kWidth + x], 0)
                << "mode " << mode << " round " << round << " type " << type << " at " << x
                << "," << y;
          }
        }
      }
      drawn += lit;
      ASSERT_EQ(EndPreview(), 0);
    }
  }
  EXPECT_GT(drawn, 36);
  ClockUseReal();
  ReleasePreview();
}

}  // namespace
}  // namespace ledview
