// The playbill reader behind inspect and check: what a user reads when a
// playbill is broken.
#include <gtest/gtest.h>

#include "billfile/billreader.h"
#include "billfile/billwriter.h"

namespace ledview::tool {
namespace {

// Broken trees name the object and its offset; lengths are checked against
// the parent's bytes left, without overflow, and payload decoders refuse
// payloads shorter than their own figures say. (Good bills: the describe round trip.)
TEST(BillReader, RefusesBrokenBillsAndPayloads) {
  bill::Bill b;
  b.AddPage(5, 1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 32, 32, 2).AddElement(4, std::vector<uint8_t>(28, 1));
  b.AddPage(-1).AddArea(1, 1, 2, 2, 9).AddComponent(0, 0, 2, 2).AddElement(9, {1});
  const std::vector<uint8_t> good = b.Bytes();
  const struct { size_t at, size; uint32_t value; std::string error; } cases[] = {
      {0, 1, 1, "bill at byte 0: object type 0x80000001 where 0x80000000 belongs"},
      {24, 4, 100000, "pages[0] at byte 12: areasize 100000 runs past " +
                          std::to_string(bill::GetU32(good, 8) - 16) + " bytes left"},
      {71, 1, 0, "pages[0].areas[0].components[0].elements[0] at byte 68: object type "
                 "0x00000000 where 0x04000000 belongs"},
      {8, 4, 0x7FFFFFF0, "bill at byte 0: pagesize 2147483632 runs past"},
      {7, 0, 0, "bill at byte 0: only 7 bytes left for a 12-byte header"},  // cut after 7 bytes
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bad = good;
    if (c.size == 0) bad.resize(c.at); else if (c.size == 1) bad[c.at] = uint8_t(c.value); else bill::PutU32(bad, c.at, c.value);
    bill::Bill out;
    std::string error;
    EXPECT_FALSE(ReadBill(bad, &out, &error));
    EXPECT_EQ(error.substr(0, c.error.size()), c.error);
  }
  bill::BmpBlock block{10, 3, 1, 2, std::vector<uint8_t>(6, 0x81)};
  std::vector<uint8_t> p = bill::BmpBlockBytes(block);
  EXPECT_TRUE(DecodeBmpBlock(p, &block));
  p.pop_back();
  EXPECT_FALSE(DecodeBmpBlock(p, &block));
  bill::DigitalClock c;
  c.digits.count = c.labels.count = 11;
  std::vector<uint8_t> d = bill::DigitalClockBytes(c);
  EXPECT_TRUE(DecodeDigitalClock(d, &c));
  bill::PutU32(d, 16, 0xFFFFFFF0);  // labels offset far outside
  EXPECT_FALSE(DecodeDigitalClock(d, &c));
  bill::FrameStrip s;
  std::vector<uint8_t> huge = bill::FrameStripBytes(s);
  bill::PutU32(huge, 0, 0xFFFFFFFF), bill::PutU16(huge, 6, 0xFFFF), bill::PutU32(huge, 12, 0xFFFFFFFF);
  EXPECT_FALSE(DecodeFrameStrip(huge, 0, &s));
  bill::StringText t;
  std::vector<uint8_t> st = bill::StringTextBytes(t);
  bill::PutU32(st, 16, 1);  // says one text byte, holds none
  EXPECT_FALSE(DecodeStringText(st, &t));
}

}  // namespace
}  // namespace ledview::tool
