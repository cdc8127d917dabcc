// The engine family's codes and the lines it prints, as a host sees them.
#include <gtest/gtest.h>

#include <functional>

#include "display/ledconfig.h"
#include "ledview.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using Bytes = std::vector<uint8_t>;
using test::PutU16, test::PutU32;

class CallsTest : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);  // a 4096 x 128 framebuffer
  }
  // `exact` is a fresh vector that ends where the bytes end, so the sanitizer sees any read past them.
  static void Expect(const Bytes& exact, int32_t code, const std::string& printed, size_t i) {
    testing::internal::CaptureStdout();
    const int32_t got = TestPlayBillData(exact.data(), static_cast<int32_t>(exact.size()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), printed) << "case " << i;
    EXPECT_EQ(got, code) << "case " << i;
  }
};

TEST_F(CallsTest, FirstFaultGivesItsCodeAndMessage) {
  // Page at 12, area at 28 (the framebuffer's far corner), component at 48, element at 68 (a clock): 120 bytes.
  test::Bill bill;
  bill.AddPage().AddArea(4032, 96, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  const Bytes base = bill.Bytes();
  using Edit = std::function<void(Bytes&)>;
  auto u32 = [](size_t at, uint32_t v) -> Edit { return [=](Bytes& b) { PutU32(b, at, v); }; };
  auto u16 = [](size_t at, uint16_t v) -> Edit { return [=](Bytes& b) { PutU16(b, at, v); }; };
  const struct { std::vector<Edit> edits; int32_t code; const char* printed; } cases[] = {
      {{u16(48 + 4, 64)}, 0, ""},  // a component may start at its area's edge
      {{u32(0, 0x40000000)}, -1, ""},
      {{u32(8, 0)}, 1, "pagesize = 0 error!\n"},
      {{[](Bytes& b) { b.pop_back(); }}, 1, "pagesize = 108 error!\n"},
      {{u32(12, 0x20000000)}, 2, "Object except page!\n"},
      {{u32(24, 93)}, 4, "areasize = 93 error!\n"},
      {{u16(28 + 8, 65)}, 4, "Object area rectangle width error! x = 4032\n"},
      {{u16(28 + 10, 33), u32(28 + 16, 0)}, 4, "Object area rectangle height error! y = 96\n"},
      {{u32(28, 0x08000000), u16(28 + 10, 200)}, 5, "Object except area!\n"},
      {{u32(28 + 16, 0)}, 10, "componentsize = 0 error!\n"},
      {{u16(48 + 4, 65), u16(48 + 6, 33), u32(48 + 16, 0)}, 10, "Object component rectangle width error! x = 65\n"},
      {{u16(48 + 6, 33), u32(48 + 16, 0)}, 10, "Object component rectangle height error! y = 33\n"},
      {{u32(48 + 16, 0)}, 12, "componentsize = 0 error!\n"},
      {{u32(48, 0x04000000), u16(48 + 4, 65)}, 11, "Object except component!\n"},
      {{u32(68, 0x08000000)}, 13, "Object except element!\n"},
      {{u16(68 + 4, 8)}, 13, ""},
      // The component's elements end 10 bytes in, inside the element header.
      {{[](Bytes& b) { b.resize(78); }, u32(8, 66), u32(24, 50), u32(28 + 16, 30), u32(48 + 16, 10)},
       15, "vsobjsize = 0 error!\n"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Bytes bytes = base;
    for (const Edit& edit : cases[i].edits) edit(bytes);
    Expect(Bytes(bytes), cases[i].code, cases[i].printed, i);  // a copy without spare capacity
  }
}

// Every payload holds what its renderer will read, whatever the sibling after it holds, and no product wraps;
// payload faults print nothing.
TEST_F(CallsTest, PayloadsHoldEverythingTheyDeclare) {
  auto sized = [](Bytes b, ptrdiff_t by) { b.resize(b.size() + by); return b; };  // cut short (< 0) or grown
  auto with = [](Bytes b, std::vector<std::pair<size_t, uint32_t>> words) {
    for (auto [at, v] : words) PutU32(b, at, v);
    return b;
  };
  const Bytes timer = test::TimerPayload("hms\0\0\0\0\0");
  const struct { uint16_t type; Bytes payload; int32_t code; } cases[] = {
      {1, sized(test::BitmapPayload(20, 8, 1), -1), 15},
      {1, sized(test::BitmapPayload(0, 0, 1), -1), 15},
      {2, with(test::StringPayload(0, "abcd"), {{16, 30}}), 15},  // text runs into the sibling
      {3, sized(timer, -1), 15},
      {4, sized(test::ClockPayload(1, 1, 1, 1, 1), -1), 15},
      {5, sized(test::DigitalClockPayload("YMDHms\0\0"), -1), 15},
      {6, sized(test::StripBytes(3, 16, 8, 1, 2), -1), 15},
      {7, sized(test::StripBytes(2, 64, 32, 1, 8), -1), 15},
      {3, with(timer, {{20, 0x10000}, {32, 0x10000}}), 15},  // count x pitch x height wraps to 0 in 32 bits
      {1, test::BitmapPayload(64, 2, 1, 2), 15},  // the last row's pixels run past the end
      {1, sized(test::BitmapPayload(64, 2, 1, 2), 6), 0},
      {6, test::StripBytes(1, 8, 2, 9, 1), 15},  // four bits a pixel
      {6, test::StripBytes(1, 8, 2, 9, 4), 0},
      {6, test::StripBytes(0, 8, 2, 1, 1), 15},  // no frame to end on
      {7, test::StripBytes(0, 8, 2, 1, 1), 15},  // page 0 always shows
      {7, sized(test::StripBytes(0, 8, 2, 1, 1), 2), 0},
      {7, test::StripBytes(1, 8, 1, 1, 0x8000), 15},  // a pitch no descriptor carries
      {1, test::BitmapPayload(8, 1, 1, 0x8000), 15},
      {3, sized(with(timer, {{20, 10}}), -8), 15},  // time strips hold eleven frames, whatever the count says
      {5, with(test::DigitalClockPayload("YMDHms\0\0"), {{12, 0xFFFFFFF0u}}), 15},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    test::Bill bill;
    test::Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
    c.AddElement(cases[i].type, cases[i].payload);
    c.AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
    Expect(bill.Bytes(), cases[i].code, "", i);
  }
}

TEST_F(CallsTest, AMissingFontIsSaidAndAHugeSignSaturates) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(SetFontPathname("/nonexistent/font.ttf"), -3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Create file failure!\n");
  ReleasePreview();
  ASSERT_EQ(InitLedConfigure(70000, 600, 9), 0);
  EXPECT_EQ(ledconfig.width, 4096);  // not 70000 wrapped to 4464
  EXPECT_EQ(ledconfig.height, 128);  // as much as colour mode 4 can hold
}

}  // namespace
}  // namespace ledview
