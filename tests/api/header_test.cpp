// What the public header promises a C host, case by case, against the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ledview.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using Bytes = std::vector<uint8_t>;

class HeaderTest : public test::EngineTest {
 protected:
  Bytes leds = Bytes(64 * 16, 0);

  // A one-page playbill: a string (id, text, colour) over the whole 64 x 16 sign.
  static Bytes StringBill(uint16_t id, const std::string& text, uint32_t colour = 1) {
    test::Bill b;
    b.AddPage().AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16).AddElement(2, test::StringPayload(id, text, 16, colour));
    return b.Bytes();
  }
  bool Start(int32_t mode, const Bytes& bill) {
    testing::internal::CaptureStdout();
    const int32_t init = InitLedConfigure(64, 16, mode);
    testing::internal::GetCapturedStdout();
    return init == 0 && SetFontPathname(LEDVIEW_TEST_FONT) == 0 && SetBmpBuffer(64, 16, 64, leds.data()) == 0 &&
           SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) == 0;
  }
  // The distinct byte values of the picture after a second.
  Bytes Values() {
    NotifySecond();
    RefreshBuffer();
    Bytes v = leds;
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
  }
};

// A byte is the LED's colour: bit 0 red, bit 1 green, bit 2 blue; in mode 1
// a lit LED is 1; in mode 2 the blue bit is still stored.
TEST_F(HeaderTest, OutputBytesAreColourBits) {
  const struct { int32_t mode; uint32_t colour; Bytes values; } cases[] = {
      {4, 1, {0, 1}}, {4, 2, {0, 2}}, {4, 4, {0, 4}}, {4, 7, {0, 7}}, {1, 6, {0, 1}}, {2, 4, {0, 4}}, {2, 3, {0, 3}},
  };
  for (const auto& c : cases) {
    ReleasePreview();
    std::fill(leds.begin(), leds.end(), 0);
    ASSERT_TRUE(Start(c.mode, StringBill(0, "Hi", c.colour))) << c.mode << " " << c.colour;
    EXPECT_EQ(Values(), c.values) << "mode " << c.mode << " colour " << c.colour;
  }
}

// TestPlayBillData checks areas against the framebuffer of the sign set
// up: 4096 x 128 for a 64 x 32 sign in mode 4.
TEST_F(HeaderTest, TestPlayBillDataNeedsTheSignFirst) {
  auto area = [](uint16_t x) {
    test::Bill b;
    b.AddPage().AddArea(x, 0, 128, 32).AddComponent(0, 0, 128, 32).AddElement(2, test::StringPayload(0, "Hi"));
    return b.Bytes();
  };
  const Bytes inside = area(3968);
  const Bytes beyond = area(3969);
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  const int32_t in = TestPlayBillData(inside.data(), static_cast<int32_t>(inside.size()));
  const int32_t out = TestPlayBillData(beyond.data(), static_cast<int32_t>(beyond.size()));
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(in, 0);
  EXPECT_GT(out, 0);
  // The set-up lines and the rejection's reason go to standard output.
  EXPECT_NE(printed.find("SetLedEnv"), std::string::npos) << printed;
}

// UpdateString: 1 for a new id, +1 each time after; 2 for an id the page
// registered; -1 outside playback and for bad arguments.
TEST_F(HeaderTest, UpdateStringVersions) {
  EXPECT_EQ(UpdateString(7, "x", 1), -1);
  ASSERT_TRUE(Start(1, StringBill(3, "Gate")));
  RefreshBuffer();
  EXPECT_EQ(UpdateString(7, "new", 3), 1);
  EXPECT_EQ(UpdateString(7, "again", 5), 2);
  EXPECT_EQ(UpdateString(3, "Gate 7", 6), 2);
  EXPECT_EQ(UpdateString(3, "x", 0), -1);
  EXPECT_EQ(UpdateString(-1, "x", 1), -1);
  EXPECT_EQ(UpdateString(3, nullptr, 1), -1);
}

// GB2312 bytes draw a hanzi; the same character's UTF-8 bytes draw other
// (wrong) characters.
TEST_F(HeaderTest, UpdateStringTakesGb2312) {
  ASSERT_TRUE(Start(4, StringBill(1, " ")));
  Values();
  const char gb[] = "\xD6\xD0";        // 中 in GB2312
  const char utf8[] = "\xE4\xB8\xAD";  // 中 in UTF-8
  ASSERT_EQ(UpdateString(1, gb, 2), 2);
  Values();
  const Bytes asgb = leds;
  ASSERT_EQ(UpdateString(1, utf8, 3), 3);
  Values();
  EXPECT_NE(std::count(asgb.begin(), asgb.end(), 0), static_cast<long>(asgb.size()));
  EXPECT_NE(leds, asgb);
}

// SetFontPathname takes a file's path; a family name is -3.
TEST_F(HeaderTest, SetFontPathnameTakesAPath) {
  ASSERT_EQ(InitLedConfigure(64, 16, 1), 0);
  EXPECT_EQ(SetFontPathname("DejaVu Sans"), -3);
  EXPECT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
}

// After EndPreview the buffer is forgotten: a SetPlayBill before
// SetBmpBuffer plays into nothing, and SetBmpBuffer is then refused; the
// font stays loaded.
TEST_F(HeaderTest, SetPlayBillAfterEndPreviewNeedsTheBufferFirst) {
  const Bytes bill = StringBill(0, "Hi");
  ASSERT_TRUE(Start(1, bill));
  EXPECT_EQ(Values(), (Bytes{0, 1}));
  ASSERT_EQ(EndPreview(), 0);
  EXPECT_EQ(SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())), 0);
  EXPECT_EQ(Values(), (Bytes{0}));
  EXPECT_EQ(SetBmpBuffer(64, 16, 64, leds.data()), -4);
  ASSERT_EQ(EndPreview(), 0);
  ASSERT_EQ(SetBmpBuffer(64, 16, 64, leds.data()), 0);
  ASSERT_EQ(SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())), 0);
  EXPECT_EQ(Values(), (Bytes{0, 1}));
}

}  // namespace
}  // namespace ledview
