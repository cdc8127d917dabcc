// The generated font tables at the few points that show a shift, a swapped
// bit or row order, or a table out of step with the hanzi grid.
#include "content/fontdata/fontdata.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ledview {
namespace {

int Ink(const uint8_t* glyph, int bytes) {
  int n = 0;
  for (int i = 0; i < bytes; ++i) n += __builtin_popcount(glyph[i]);
  return n;
}
const uint8_t* Hzk(int lead, int trail) { return HzkFont + ((lead - 0xA1) * kHzkGridSize + trail - 0xA1) * kHzkGlyphBytes; }

TEST(FontDataTest, AscFontInCodeOrderWithBitsAndRowsTheRightWayRound) {
  for (int code = 0; code < 256; ++code)  // CP437 has ink everywhere but at 0, space and 0xFF
    EXPECT_EQ(Ink(AscFont + code * kAscGlyphBytes, kAscGlyphBytes) == 0, code == 0 || code == 0x20 || code == 0xFF) << code;
  const uint8_t a[16] = {0, 0, 0, 0, 0x18, 0x24, 0x24, 0x42, 0x42, 0x7E, 0x42, 0x42, 0x42, 0x42, 0, 0};
  EXPECT_EQ(std::memcmp(AscFont + 'A' * kAscGlyphBytes, a, 16), 0);
  EXPECT_EQ(AscFont[0xDD * kAscGlyphBytes], 0xF0);       // left half block: bit 7 is left
  EXPECT_EQ(AscFont[0xDC * kAscGlyphBytes + 7], 0x00);   // lower half block: row 0 is the top
  EXPECT_EQ(AscFont[0xDC * kAscGlyphBytes + 8], 0xFF);
}

TEST(FontDataTest, GbTableAndHanziGridAgree) {
  // U+3000 stands for the 169 unassigned positions and for 0xA1A1 itself,
  // which draw nothing; every hanzi is a CJK ideograph with a drawing; rows
  // outside GB2312 are blank.
  int spaces = 0;
  for (int lead = 0xA1; lead <= 0xFE; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const int ink = Ink(Hzk(lead, trail), kHzkGlyphBytes);
      const bool outside = (lead >= 0xAA && lead <= 0xAF) || lead >= 0xF8;
      const uint16_t cp = outside ? 0 : GbUnicodeTable[(lead <= 0xA9 ? lead - 0xA1 : lead - 0xA7) * 94 + trail - 0xA1];
      spaces += cp == 0x3000;
      const bool hanzi = !outside && lead >= 0xB0 && cp != 0x3000;
      SCOPED_TRACE(testing::Message() << std::hex << lead << trail);
      if (outside) {
        EXPECT_EQ(ink, 0);
        continue;
      }
      EXPECT_NE(cp, 0);
      if (cp == 0x3000) {
        EXPECT_EQ(ink, 0);
      }
      if (hanzi) {
        EXPECT_GT(ink, 0);
        EXPECT_GE(cp, 0x4E00);
        EXPECT_LE(cp, 0x9FFF);
      }
    }
  }
  EXPECT_EQ(spaces, 170);
  EXPECT_EQ(GbUnicodeTable[kGbUnicodeEntries - 1], 0x9F44);  // 齄, the last hanzi
  EXPECT_EQ(std::memcmp(Hzk(0xD2, 0xBB) + 14, "\xFF\xFE", 2), 0);  // 一: row 7, bytes in order
  EXPECT_EQ(Ink(Hzk(0xD2, 0xBB), kHzkGlyphBytes), 15);
  EXPECT_EQ(std::memcmp(Hzk(0xA9, 0xA4) + 14, "\x0F\xF0", 2), 0);  // ─, 8 wide in Unifont: centred
  EXPECT_EQ(Ink(Hzk(0xA9, 0xA4), kHzkGlyphBytes), 8);
}

}  // namespace
}  // namespace ledview
