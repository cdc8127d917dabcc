// The playbill writer and reader the ledview command and the tests share.
#include <gtest/gtest.h>

#include <cstring>

#include "ledview/billreader.h"
#include "ledview/billwriter.h"

namespace ledview::tool {
namespace {

using bill::GetU16;
using bill::GetU32;

TEST(BillWriter, SmallestBillHasEveryHeaderWhereTheEngineReadsIt) {
  bill::Bill b;
  b.AddPage(7, 3).AddArea(1, 2, 30, 20, 1).AddComponent(4, 5, 6, 7, 2).AddElement(2, {9, 9, 9});
  bill::Element& e = b.pages[0].areas[0].components[0].elements[0];
  e.delaytime = 11;
  e.speed = 12;
  e.entryeffect = 13;
  e.staytime = 14;
  e.exiteffect = 15;
  const std::vector<uint8_t> bytes = b.Bytes();
  ASSERT_EQ(bytes.size(), 92u + 3u);
  EXPECT_EQ(GetU32(bytes, 0), 0x80000000u);
  EXPECT_EQ(GetU32(bytes, 8), 16u + 20 + 20 + 24 + 3);
  EXPECT_EQ(GetU32(bytes, 12), 0x40000000u);
  EXPECT_EQ(GetU32(bytes, 16), 3u);
  EXPECT_EQ(GetU32(bytes, 20), 7u);
  EXPECT_EQ(GetU32(bytes, 24), 20u + 20 + 24 + 3);
  EXPECT_EQ(GetU32(bytes, 28), 0x20000000u);
  EXPECT_EQ(GetU16(bytes, 32), 1);
  EXPECT_EQ(GetU16(bytes, 38), 20);
  EXPECT_EQ(GetU32(bytes, 40), 1u);
  EXPECT_EQ(GetU32(bytes, 44), 20u + 24 + 3);
  EXPECT_EQ(GetU32(bytes, 48), 0x08000000u);
  EXPECT_EQ(GetU16(bytes, 52), 4);
  EXPECT_EQ(GetU32(bytes, 60), 2u);
  EXPECT_EQ(GetU32(bytes, 64), 24u + 3);
  EXPECT_EQ(GetU32(bytes, 68), 0x04000000u);
  EXPECT_EQ(GetU16(bytes, 72), 2);
  EXPECT_EQ(GetU16(bytes, 74), 11);
  EXPECT_EQ(GetU16(bytes, 76), 12);
  EXPECT_EQ(GetU16(bytes, 78), 13);
  EXPECT_EQ(GetU32(bytes, 80), 14u);
  EXPECT_EQ(GetU32(bytes, 84), 15u);
  EXPECT_EQ(GetU32(bytes, 88), 3u);
  EXPECT_EQ(e.offset, 68u);
}

TEST(BillWriter, PayloadLayouts) {
  bill::StringText t;
  t.id = 5;
  t.singleline = 0;
  t.colour = 6;
  t.reserved[7] = 0x42;
  t.text = "abc";
  t.fontsize = 24;
  const std::vector<uint8_t> s = bill::StringTextBytes(t);
  ASSERT_EQ(s.size(), 27u);
  EXPECT_EQ(GetU16(s, 0), 5);
  EXPECT_EQ(GetU16(s, 2), 0);
  EXPECT_EQ(GetU32(s, 4), 6u);
  EXPECT_EQ(s[15], 0x42);
  EXPECT_EQ(GetU32(s, 16), 3u);
  EXPECT_EQ(GetU32(s, 20), 24u);
  EXPECT_EQ(std::memcmp(s.data() + 24, "abc", 3), 0);

  bill::DigitalClock c;
  c.digits.count = 11;
  c.digits.width = 4;
  c.digits.height = 2;
  c.digits.pitch = 1;
  c.digits.pixels.assign(22, 1);
  c.labels.count = 11;
  c.labels.pixels.clear();
  const std::vector<uint8_t> d = bill::DigitalClockBytes(c);
  EXPECT_EQ(GetU32(d, 12), 20u);            // digits follow the fixed fields
  EXPECT_EQ(GetU32(d, 16), 20u + 16 + 22);  // labels follow the digits
  EXPECT_EQ(GetU32(d, 20), 11u);
  EXPECT_EQ(d.size(), 20u + 16 + 22 + 16);

  bill::Timer timer;
  timer.year = 2031;
  timer.month = 12;
  timer.hour = 23;
  timer.second = 59;
  const std::vector<uint8_t> tb = bill::TimerBytes(timer);
  EXPECT_EQ(GetU16(tb, 4), 2031);
  EXPECT_EQ(tb[6], 12);
  EXPECT_EQ(GetU16(tb, 8), 23);
  EXPECT_EQ(tb[11], 59);
  EXPECT_EQ(tb.size(), 36u);

  EXPECT_EQ(bill::RowBytes(9, 7), 2u);
  EXPECT_EQ(bill::RowBytes(9, 8), 3u);
  EXPECT_EQ(bill::RowBytes(9, 9), 5u);
}

bill::Bill TwoPages() {
  bill::Bill b;
  bill::Page& p = b.AddPage(5, 1);
  bill::Area& a = p.AddArea(0, 0, 64, 32);
  a.AddComponent(0, 0, 32, 32, 2).AddElement(4, std::vector<uint8_t>(28, 1));
  a.AddComponent(32, 0, 32, 32).AddElement(2, bill::StringTextBytes(bill::StringText{}));
  a.components[1].AddElement(6, std::vector<uint8_t>(20, 0));
  b.AddPage(-1).AddArea(1, 1, 2, 2, 9).AddComponent(0, 0, 2, 2).AddElement(9, {1});
  b.reserved = 0xDEADBEEF;
  b.trailing = {1, 2, 3};
  return b;
}

TEST(BillReader, ReadsBackWhatWasWritten) {
  const std::vector<uint8_t> bytes = TwoPages().Bytes();
  bill::Bill again;
  std::string error;
  ASSERT_TRUE(ReadBill(bytes, &again, &error)) << error;
  EXPECT_EQ(again.Bytes(), bytes);
  ASSERT_EQ(again.pages.size(), 2u);
  EXPECT_EQ(again.pages[1].playtime, -1);
  EXPECT_EQ(again.pages[1].areas[0].staticflag, 9u);
  EXPECT_EQ(again.pages[0].areas[0].components[1].elements.size(), 2u);
  EXPECT_EQ(again.reserved, 0xDEADBEEFu);
  EXPECT_EQ(again.trailing, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(BillReader, NamesTheObjectAndOffsetOfABrokenTree) {
  const std::vector<uint8_t> good = TwoPages().Bytes();
  bill::Bill out;
  std::string error;

  std::vector<uint8_t> b = good;
  b[0] = 1;
  EXPECT_FALSE(ReadBill(b, &out, &error));
  EXPECT_EQ(error, "bill at byte 0: object type 0x80000001 where 0x80000000 belongs");

  b = good;
  bill::PutU32(b, 24, 100000);  // the first page's areasize
  EXPECT_FALSE(ReadBill(b, &out, &error));
  EXPECT_EQ(error, "pages[0] at byte 12: areasize 100000 runs past " +
                       std::to_string(bill::GetU32(good, 8) - 16) + " bytes left");

  b = good;
  b[71] = 0;  // the first element's magic
  EXPECT_FALSE(ReadBill(b, &out, &error));
  EXPECT_EQ(error, "pages[0].areas[0].components[0].elements[0] at byte 68: object type "
                   "0x00000000 where 0x04000000 belongs");

  EXPECT_FALSE(ReadBill(std::vector<uint8_t>(good.begin(), good.begin() + 7), &out, &error));
  EXPECT_EQ(error, "bill at byte 0: only 7 bytes left for a 12-byte header");

  b = good;
  bill::PutU32(b, 8, 0x7FFFFFF0);
  EXPECT_FALSE(ReadBill(b, &out, &error));
  EXPECT_NE(error.find("pagesize 2147483632 runs past"), std::string::npos);
}

TEST(BillReader, PayloadDecodersRefuseShortPayloads) {
  bill::BmpBlock block;
  block.width = 10;
  block.height = 3;
  block.pitch = 2;
  block.rows.assign(6, 0x81);
  std::vector<uint8_t> p = bill::BmpBlockBytes(block);
  bill::BmpBlock out;
  ASSERT_TRUE(DecodeBmpBlock(p, &out));
  EXPECT_EQ(out.rows, block.rows);
  p.pop_back();
  EXPECT_FALSE(DecodeBmpBlock(p, &out));

  bill::DigitalClock c;
  c.digits.count = 11;
  c.labels.count = 11;
  std::vector<uint8_t> d = bill::DigitalClockBytes(c);
  bill::DigitalClock dc;
  EXPECT_TRUE(DecodeDigitalClock(d, &dc));
  bill::PutU32(d, 16, 0xFFFFFFF0);  // labels offset far outside
  EXPECT_FALSE(DecodeDigitalClock(d, &dc));

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
