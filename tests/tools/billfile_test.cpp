// Command-line values, and the playbill reader behind inspect and check.
#include <gtest/gtest.h>

#include <ctime>

#include "ledview/args.h"
#include "ledview/billreader.h"
#include "ledview/billwriter.h"

namespace ledview::tool {
namespace {

TEST(Args, SizesStartsAndLiveStrings) {
  int32_t w = 0, h = 0;
  EXPECT_TRUE(ParseSize("128x32", &w, &h));
  EXPECT_EQ(w * 1000 + h, 128032);
  for (const char* bad : {"128", "0x32", "128x32x2", "128x-1"}) EXPECT_FALSE(ParseSize(bad, &w, &h)) << bad;

  int64_t start = 0;
  std::tm fields{};
  fields.tm_sec = 8, fields.tm_min = 7, fields.tm_hour = 6, fields.tm_mday = 5, fields.tm_mon = 2, fields.tm_year = 124;
  fields.tm_isdst = -1;
  ASSERT_TRUE(ParseStart("2024-03-05 06:07:08", &start));
  EXPECT_EQ(start, static_cast<int64_t>(std::mktime(&fields)));  // local time
  ASSERT_TRUE(ParseStart("1700000000", &start));
  EXPECT_EQ(start, 1700000000);
  ASSERT_TRUE(ParseStart("now", &start));
  EXPECT_LE(std::abs(start - static_cast<int64_t>(std::time(nullptr))), 2);
  for (const char* bad : {"yesterday", "2024-03-05"}) EXPECT_FALSE(ParseStart(bad, &start)) << bad;

  const struct {
    const char* text;
    int32_t id;
    const char* gb;  // or the error
    int64_t atms;
  } strings[] = {
      {"7=Gate 3 = open@2.5", 7, "Gate 3 = open", 2500},
      {"1=a@b@3", 1, "a@b", 3000},  // the last @ gives the time
      {"2=中@0", 2, "\xD6\xD0", 0},
      {"x=a@1", 0, "--string \"x=a@1\": expected ID=TEXT@SECONDS with an id 1..65535", 0},
      {"1=a", 0, "--string \"1=a\": expected ID=TEXT@SECONDS", 0},
      {"1=ä@1", 0, "--string \"1=ä@1\": character \"ä\" (U+00E4) is not in GB2312", 0},
  };
  for (const auto& s : strings) {
    StringUpdate u;
    std::string error;
    EXPECT_EQ(ParseString(s.text, &u, &error), s.id != 0) << s.text;
    EXPECT_EQ(s.id != 0 ? u.text : error, s.gb);
    if (s.id != 0) {
      EXPECT_EQ(u.id * 100000 + u.atms, s.id * 100000 + s.atms) << s.text;
    }
  }
}

// Broken trees name the object and its offset; payload decoders refuse
// payloads shorter than their own figures say. (Reading good bills back is
// the describe tests' round trip.)
TEST(BillReader, RefusesBrokenBillsAndPayloads) {
  bill::Bill b;
  bill::Area& a = b.AddPage(5, 1).AddArea(0, 0, 64, 32);
  a.AddComponent(0, 0, 32, 32, 2).AddElement(4, std::vector<uint8_t>(28, 1));
  b.AddPage(-1).AddArea(1, 1, 2, 2, 9).AddComponent(0, 0, 2, 2).AddElement(9, {1});
  const std::vector<uint8_t> good = b.Bytes();
  const struct {
    size_t at, size;
    uint32_t value;
    std::string error;
  } cases[] = {
      {0, 1, 1, "bill at byte 0: object type 0x80000001 where 0x80000000 belongs"},
      {24, 4, 100000, "pages[0] at byte 12: areasize 100000 runs past " +
                          std::to_string(bill::GetU32(good, 8) - 16) + " bytes left"},
      {71, 1, 0, "pages[0].areas[0].components[0].elements[0] at byte 68: object type "
                 "0x00000000 where 0x04000000 belongs"},
      {8, 4, 0x7FFFFFF0, "bill at byte 0: pagesize 2147483632 runs past"},
  };
  bill::Bill out;
  std::string error;
  for (const auto& c : cases) {
    std::vector<uint8_t> bad = good;
    if (c.size == 1) bad[c.at] = static_cast<uint8_t>(c.value); else bill::PutU32(bad, c.at, c.value);
    EXPECT_FALSE(ReadBill(bad, &out, &error));
    EXPECT_EQ(error.substr(0, c.error.size()), c.error);
  }
  EXPECT_FALSE(ReadBill(std::vector<uint8_t>(good.begin(), good.begin() + 7), &out, &error));
  EXPECT_EQ(error, "bill at byte 0: only 7 bytes left for a 12-byte header");

  bill::BmpBlock block{10, 3, 1, 2, std::vector<uint8_t>(6, 0x81)};
  std::vector<uint8_t> p = bill::BmpBlockBytes(block);
  ASSERT_TRUE(DecodeBmpBlock(p, &block));
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
  bill::PutU32(huge, 0, 0xFFFFFFFF);
  bill::PutU16(huge, 6, 0xFFFF);
  bill::PutU32(huge, 12, 0xFFFFFFFF);
  EXPECT_FALSE(DecodeFrameStrip(huge, 0, &s));
  bill::StringText t;
  std::vector<uint8_t> st = bill::StringTextBytes(t);
  bill::PutU32(st, 16, 1);  // says one text byte, holds none
  EXPECT_FALSE(DecodeStringText(st, &t));
}

}  // namespace
}  // namespace ledview::tool
