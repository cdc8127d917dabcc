#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "ledview.h"
#include "playbill/validate.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::Component;
using test::EngineTest;
using test::PutU16;
using test::PutU32;

struct Outcome {
  int32_t code;
  std::string printed;
};

// Validates a copy that ends exactly where the caller's bytes end, so that
// the sanitizer sees any read past them.
Outcome Validate(const std::vector<uint8_t>& bytes, size_t length) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[length == 0 ? 1 : length]);
  if (length > 0) std::memcpy(exact.get(), bytes.data(), length);
  testing::internal::CaptureStdout();
  const int32_t code = TestPlayBillData(exact.get(), static_cast<int32_t>(length));
  return {code, testing::internal::GetCapturedStdout()};
}
Outcome Validate(const std::vector<uint8_t>& bytes) { return Validate(bytes, bytes.size()); }

class ValidateTest : public EngineTest {
 protected:
  // Colour mode 4, 64 x 32: a 4096 x 128 framebuffer.
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
    ASSERT_EQ(framebuffer.fbwidth, 4096u);
    ASSERT_EQ(framebuffer.fbheight, 128u);
  }

  // One page, one area, one component.
  Component& Single(uint16_t w = 64, uint16_t h = 32) {
    return bill.AddPage().AddArea(0, 0, w, h).AddComponent(0, 0, w, h);
  }
  Bill bill;
};

TEST_F(ValidateTest, SmallestPlaybillHasTheDocumentedLayout) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  const std::vector<uint8_t> bytes = bill.Bytes();
  const size_t p = 28;
  ASSERT_EQ(bytes.size(), 92 + p);
  EXPECT_EQ(bill.pages[0].offset, 12u);
  EXPECT_EQ(bill.pages[0].areas[0].offset, 28u);
  EXPECT_EQ(bill.pages[0].areas[0].components[0].offset, 48u);
  EXPECT_EQ(bill.pages[0].areas[0].components[0].elements[0].offset, 68u);
  EXPECT_EQ(test::GetU32(bytes, 8), 16 + 20 + 20 + 24 + p);
  EXPECT_EQ(test::GetU32(bytes, 68 + 20), p);
  const Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, 0);
  EXPECT_EQ(out.printed, "");
}

TEST_F(ValidateTest, NotABillGivesMinusOneSilently) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  testing::internal::CaptureStdout();
  EXPECT_EQ(TestPlayBillData(nullptr, 100), -1);
  EXPECT_EQ(TestPlayBillData(bytes.data(), -5), -1);
  EXPECT_EQ(TestPlayBillData(bytes.data(), 3145729), -1);
  EXPECT_EQ(TestPlayBillData(bytes.data(), 11), -1);  // no room for pagesize
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  PutU32(bytes, 0, 0x40000000);
  const Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, -1);
  EXPECT_EQ(out.printed, "");
}

TEST_F(ValidateTest, PagesizeFaults) {
  std::vector<uint8_t> empty(12, 0);
  PutU32(empty, 0, 0x80000000);
  Outcome out = Validate(empty);
  EXPECT_EQ(out.code, 1);
  EXPECT_EQ(out.printed, "pagesize = 0 error!\n");

  PutU32(empty, 8, 0xFFFFFFFF);
  out = Validate(empty);
  EXPECT_EQ(out.code, 1);
  EXPECT_EQ(out.printed, "pagesize = -1 error!\n");

  PutU32(empty, 8, 3145717);  // pagesize + 12 one past the limit
  EXPECT_EQ(Validate(empty).code, 1);
}

TEST_F(ValidateTest, PagesRunningPastTheCallersBytesAreRejectedUnread) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  const std::vector<uint8_t> bytes = bill.Bytes();
  for (size_t cut : {bytes.size() - 1, size_t{13}, size_t{40}}) {
    const Outcome out = Validate(bytes, cut);
    EXPECT_EQ(out.code, 1) << cut;
    EXPECT_EQ(out.printed, "pagesize = " + std::to_string(bytes.size() - 12) + " error!\n");
  }
}

TEST_F(ValidateTest, TrailingBytesBeyondThePagesAreNeverLookedAt) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  bytes.insert(bytes.end(), 40, 0xEE);
  EXPECT_EQ(Validate(bytes).code, 0);
}

TEST_F(ValidateTest, PageFaults) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  std::vector<uint8_t> bad = bytes;
  PutU32(bad, 12, 0x20000000);
  Outcome out = Validate(bad);
  EXPECT_EQ(out.code, 2);
  EXPECT_EQ(out.printed, "Object except page!\n");

  bad = bytes;
  PutU32(bad, 12 + 12, 0);
  out = Validate(bad);
  EXPECT_EQ(out.code, 4);
  EXPECT_EQ(out.printed, "areasize = 0 error!\n");

  // One byte more than the pages leave.
  bad = bytes;
  PutU32(bad, 12 + 12, test::GetU32(bytes, 12 + 12) + 1);
  out = Validate(bad);
  EXPECT_EQ(out.code, 4);
  EXPECT_EQ(out.printed, "areasize = " + std::to_string(test::GetU32(bad, 24)) + " error!\n");
}

TEST_F(ValidateTest, AreaRectangleMayReachTheFramebufferEdge) {
  Component& c = bill.AddPage().AddArea(4096 - 64, 128 - 32, 64, 32).AddComponent(0, 0, 64, 32);
  c.AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  EXPECT_EQ(Validate(bytes).code, 0);

  const size_t area = bill.pages[0].areas[0].offset;
  PutU16(bytes, area + 8, 65);
  Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, 4);
  EXPECT_EQ(out.printed, "Object area rectangle width error! x = 4032\n");

  PutU16(bytes, area + 8, 64);
  PutU16(bytes, area + 10, 33);
  out = Validate(bytes);
  EXPECT_EQ(out.code, 4);
  EXPECT_EQ(out.printed, "Object area rectangle height error! y = 96\n");

  // u16 fields never wrap: 65535 + 65535 is far past the edge.
  PutU16(bytes, area + 4, 0xFFFF);
  PutU16(bytes, area + 8, 0xFFFF);
  out = Validate(bytes);
  EXPECT_EQ(out.printed, "Object area rectangle width error! x = 65535\n");
}

TEST_F(ValidateTest, AreaChecksObjtypeThenRectangleThenLength) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  const size_t area = 28;
  PutU32(bytes, area + 16, 0);       // bad componentsize
  PutU16(bytes, area + 10, 200);     // bad height
  Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, 4);
  EXPECT_EQ(out.printed, "Object area rectangle height error! y = 0\n");

  PutU32(bytes, area, 0x08000000);  // and a bad objtype
  out = Validate(bytes);
  EXPECT_EQ(out.code, 5);
  EXPECT_EQ(out.printed, "Object except area!\n");

  PutU32(bytes, area, 0x20000000);
  PutU16(bytes, area + 10, 32);
  out = Validate(bytes);
  EXPECT_EQ(out.code, 10);
  EXPECT_EQ(out.printed, "componentsize = 0 error!\n");
}

TEST_F(ValidateTest, ComponentChecksObjtypeThenRectangleThenLength) {
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(64, 32, 10, 10);
  c.AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  EXPECT_EQ(Validate(bytes).code, 0);  // x equal to the area's width is fine

  const size_t comp = 48;
  PutU32(bytes, comp + 16, 0);
  PutU16(bytes, comp + 6, 33);
  PutU16(bytes, comp + 4, 65);
  Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, 10);
  EXPECT_EQ(out.printed, "Object component rectangle width error! x = 65\n");

  PutU16(bytes, comp + 4, 64);
  out = Validate(bytes);
  EXPECT_EQ(out.code, 10);
  EXPECT_EQ(out.printed, "Object component rectangle height error! y = 33\n");

  PutU16(bytes, comp + 6, 32);
  out = Validate(bytes);
  EXPECT_EQ(out.code, 12);
  EXPECT_EQ(out.printed, "componentsize = 0 error!\n");

  PutU32(bytes, comp, 0x04000000);
  out = Validate(bytes);
  EXPECT_EQ(out.code, 11);
  EXPECT_EQ(out.printed, "Object except component!\n");
}

TEST_F(ValidateTest, ElementFaults) {
  Single().AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  const std::vector<uint8_t> bytes = bill.Bytes();
  const size_t el = 68;

  std::vector<uint8_t> bad = bytes;
  PutU32(bad, el, 0x08000000);
  Outcome out = Validate(bad);
  EXPECT_EQ(out.code, 13);
  EXPECT_EQ(out.printed, "Object except element!\n");

  bad = bytes;
  PutU32(bad, el + 20, 29);  // one more than the component declares
  out = Validate(bad);
  EXPECT_EQ(out.code, 15);
  EXPECT_EQ(out.printed, "vsobjsize = 29 error!\n");

  bad = bytes;
  PutU32(bad, el + 20, 0);
  EXPECT_EQ(Validate(bad).printed, "vsobjsize = 0 error!\n");

  for (uint16_t type : {0, 8, 0xFFFF}) {
    bad = bytes;
    PutU16(bad, el + 4, type);
    out = Validate(bad);
    EXPECT_EQ(out.code, 13);
    EXPECT_EQ(out.printed, "");
  }
}

TEST_F(ValidateTest, FirstFaultOnlyEvenWhenLaterObjectsAreFine) {
  test::Area& area = bill.AddPage().AddArea(0, 0, 64, 32);
  area.AddComponent(0, 0, 32, 32).AddElement(8, test::ClockPayload(1, 1, 1, 1, 1));
  area.AddComponent(32, 0, 32, 32).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  // A second fault further on never shows.
  PutU32(bytes, area.components[1].offset, 0);
  const Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, 13);
  EXPECT_EQ(out.printed, "");
}

TEST_F(ValidateTest, EveryElementTypeWithAFullPayloadIsValid) {
  Component& c = Single();
  c.AddElement(1, test::BitmapPayload(20, 8, 1));
  c.AddElement(2, test::StringPayload(3, "hello"));
  c.AddElement(3, test::TimerPayload("hms\0\0\0\0\0"));
  c.AddElement(4, test::ClockPayload(1, 2, 3, 4, 5));
  c.AddElement(5, test::DigitalClockPayload("YMDHms\0\0"));
  c.AddElement(6, test::StripBytes(3, 16, 8, 1, 2));
  c.AddElement(7, test::StripBytes(2, 64, 32, 1, 8));
  const Outcome out = Validate(bill.Bytes());
  EXPECT_EQ(out.code, 0);
  EXPECT_EQ(out.printed, "");
}

// Shortens the element's payload by `cut` bytes (and every size around it).
int32_t CodeWithPayload(uint16_t type, std::vector<uint8_t> payload, size_t cut = 0) {
  payload.resize(payload.size() - cut);
  Bill b;
  b.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(type, payload);
  return Validate(b.Bytes()).code;
}

TEST_F(ValidateTest, PayloadsThatDoNotHoldWhatTheyDeclareGiveFifteen) {
  EXPECT_EQ(CodeWithPayload(1, test::BitmapPayload(20, 8, 1), 1), 15);
  EXPECT_EQ(CodeWithPayload(1, test::BitmapPayload(0, 0, 1), 1), 15);  // header cut
  EXPECT_EQ(CodeWithPayload(2, test::StringPayload(0, "hello"), 1), 15);
  EXPECT_EQ(CodeWithPayload(3, test::TimerPayload("hms\0\0\0\0\0"), 1), 15);
  EXPECT_EQ(CodeWithPayload(4, test::ClockPayload(1, 1, 1, 1, 1), 1), 15);
  EXPECT_EQ(CodeWithPayload(5, test::DigitalClockPayload("hms\0\0\0\0\0"), 1), 15);
  EXPECT_EQ(CodeWithPayload(6, test::StripBytes(3, 16, 8, 1, 2), 1), 15);
  EXPECT_EQ(CodeWithPayload(7, test::StripBytes(2, 64, 32, 1, 8), 1), 15);
  // Payload faults print nothing.
  Bill b;
  std::vector<uint8_t> strip = test::StripBytes(3, 16, 8, 1, 2);
  strip.pop_back();
  b.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(6, strip);
  EXPECT_EQ(Validate(b.Bytes()).printed, "");
}

TEST_F(ValidateTest, PayloadSizesAreBoundedByTheElementNotBySiblings) {
  // A string whose declared text runs into the next element's header.
  std::vector<uint8_t> text = test::StringPayload(0, "abcd");
  PutU32(text, 16, 30);
  Component& c = Single();
  c.AddElement(2, text);
  c.AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  EXPECT_EQ(Validate(bill.Bytes()).code, 15);
}

TEST_F(ValidateTest, ProductsDoNotWrapInThirtyTwoBits) {
  // count 0x10000 x pitch 0x10000 x height 1 is 2^32: zero in 32 bits.
  std::vector<uint8_t> strip = test::StripBytes(1, 8, 1, 1, 1);
  PutU32(strip, 0, 0x10000);
  PutU32(strip, 12, 0x10000);
  EXPECT_EQ(CodeWithPayload(6, strip), 15);

  std::vector<uint8_t> timer = test::TimerPayload("hms\0\0\0\0\0");
  PutU32(timer, 20, 0x10000);
  PutU32(timer, 32, 0x10000);
  PutU16(timer, 26, 1);
  EXPECT_EQ(CodeWithPayload(3, timer), 15);

  std::vector<uint8_t> picture = test::BitmapPayload(8, 2, 1);
  PutU32(picture, 8, 0x80000000u);
  EXPECT_EQ(CodeWithPayload(1, picture), 15);
}

TEST_F(ValidateTest, PicturesMustHoldEveryRowAndFrameTheyWillDraw) {
  // Rows shorter than the width: the last row's pixels run past the payload.
  EXPECT_EQ(CodeWithPayload(1, test::BitmapPayload(64, 2, 1, 2)), 15);
  // The same with room for the last row's pixels is fine.
  std::vector<uint8_t> roomy = test::BitmapPayload(64, 2, 1, 2);
  roomy.resize(roomy.size() + 6);
  EXPECT_EQ(CodeWithPayload(1, roomy), 0);
  // A 4-bit strip needs half a byte per pixel.
  EXPECT_EQ(CodeWithPayload(6, test::StripBytes(1, 8, 2, 9, 1)), 15);
  EXPECT_EQ(CodeWithPayload(6, test::StripBytes(1, 8, 2, 9, 4)), 0);
  // An animation of no frames never reaches its last frame.
  EXPECT_EQ(CodeWithPayload(6, test::StripBytes(0, 8, 2, 1, 1)), 15);
  // A paged picture always shows page 0.
  std::vector<uint8_t> nopages = test::StripBytes(0, 8, 2, 1, 1);
  EXPECT_EQ(CodeWithPayload(7, nopages), 15);
  nopages.resize(nopages.size() + 2);
  EXPECT_EQ(CodeWithPayload(7, nopages), 0);
  // A pitch that a picture descriptor cannot carry.
  EXPECT_EQ(CodeWithPayload(7, test::StripBytes(1, 8, 1, 1, 0x8000)), 15);
  EXPECT_EQ(CodeWithPayload(1, test::BitmapPayload(8, 1, 1, 0x8000)), 15);
}

TEST_F(ValidateTest, TimeStripsHoldAllElevenFrames) {
  std::vector<uint8_t> timer = test::TimerPayload("hms\0\0\0\0\0");
  PutU32(timer, 20, 10);  // says ten frames; the separator is still drawn
  EXPECT_EQ(CodeWithPayload(3, timer), 0);
  timer.resize(timer.size() - 8);  // the eleventh frame's bytes are gone
  EXPECT_EQ(CodeWithPayload(3, timer), 15);

  std::vector<uint8_t> clock = test::DigitalClockPayload("hms\0\0\0\0\0");
  PutU32(clock, 16, static_cast<uint32_t>(clock.size()));  // label strip past the end
  EXPECT_EQ(CodeWithPayload(5, clock), 15);
  clock = test::DigitalClockPayload("hms\0\0\0\0\0");
  PutU32(clock, 12, 0xFFFFFFF0u);  // an offset that would wrap
  EXPECT_EQ(CodeWithPayload(5, clock), 15);
}

TEST_F(ValidateTest, HeadersCutOffByTheEndOfThePlaybillAreNotRead) {
  // The last component declares 10 bytes of elements: the element header
  // that starts there runs past the caller's bytes.
  Component& c = Single();
  c.AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  const size_t keep = 68 + 10;
  bytes.resize(keep);
  PutU32(bytes, 8, static_cast<uint32_t>(keep - 12));
  PutU32(bytes, 12 + 12, static_cast<uint32_t>(keep - 28));
  PutU32(bytes, 28 + 16, static_cast<uint32_t>(keep - 48));
  PutU32(bytes, 48 + 16, 10);
  const Outcome out = Validate(bytes);
  EXPECT_EQ(out.code, 15);
  EXPECT_EQ(out.printed, "vsobjsize = 0 error!\n");
}

TEST_F(ValidateTest, MangledPlaybillsNeverReadOutsideTheirBytes) {
  Component& c = Single();
  c.AddElement(1, test::BitmapPayload(20, 8, 1));
  c.AddElement(2, test::StringPayload(3, "hello"));
  c.AddElement(5, test::DigitalClockPayload("YMDHms\0\0"));
  c.AddElement(6, test::StripBytes(3, 16, 8, 1, 2));
  const std::vector<uint8_t> bytes = bill.Bytes();
  std::mt19937 rng(11);
  testing::internal::CaptureStdout();
  int valid = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> m = bytes;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < flips; ++k) m[rng() % m.size()] = static_cast<uint8_t>(rng());
    const size_t length = round % 3 == 0 ? rng() % m.size() + 1 : m.size();
    std::unique_ptr<uint8_t[]> exact(new uint8_t[length]);
    std::memcpy(exact.get(), m.data(), length);
    const int32_t code = TestPlayBillData(exact.get(), static_cast<int32_t>(length));
    ASSERT_TRUE(code == -1 || (code >= 0 && code <= 15)) << code;
    valid += code == 0;
  }
  testing::internal::GetCapturedStdout();
  EXPECT_GT(valid, 0);  // some flips land in pixels and stay valid
}

}  // namespace
}  // namespace ledview
