#include "content/fontdata/fontdata.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace ledview {
namespace {

const uint8_t* AscGlyph(int code) { return AscFont + code * kAscGlyphBytes; }

int HzkIndex(int lead, int trail) { return (lead - 0xA1) * kHzkGridSize + (trail - 0xA1); }

const uint8_t* HzkGlyph(int lead, int trail) {
  return HzkFont + HzkIndex(lead, trail) * kHzkGlyphBytes;
}

int GbIndex(int lead, int trail) {
  int row = lead <= 0xA9 ? lead - 0xA1 : lead - 0xA7;
  return row * 94 + (trail - 0xA1);
}

int InkBits(const uint8_t* glyph, int bytes) {
  int n = 0;
  for (int i = 0; i < bytes; ++i) n += __builtin_popcount(glyph[i]);
  return n;
}

// 16-bit row r of a double-byte glyph, leftmost pixel in bit 15.
uint16_t HzkRow(const uint8_t* glyph, int r) {
  return static_cast<uint16_t>(glyph[2 * r] << 8 | glyph[2 * r + 1]);
}

TEST(AscFontTest, InkEverywhereButNulSpaceAndFF) {
  // CP437 draws a visible symbol at every code except 0, 32 and 255, so an
  // empty cell anywhere else means a lost or misplaced glyph.
  for (int code = 0; code < 256; ++code) {
    const bool blank = code == 0 || code == 0x20 || code == 0xFF;
    EXPECT_EQ(InkBits(AscGlyph(code), kAscGlyphBytes) == 0, blank) << "code 0x" << std::hex << code;
  }
}

TEST(AscFontTest, CapitalAMatchesUnifont) {
  const uint8_t expected[16] = {0x00, 0x00, 0x00, 0x00, 0x18, 0x24, 0x24, 0x42,
                                0x42, 0x7E, 0x42, 0x42, 0x42, 0x42, 0x00, 0x00};
  for (int r = 0; r < 16; ++r) EXPECT_EQ(AscGlyph('A')[r], expected[r]) << "row " << r;
}

TEST(AscFontTest, GlyphsAreInCodeOrder) {
  // Neighbouring letters must differ; an off-by-one shift would still give
  // ink everywhere but put 'B' where 'A' belongs.
  EXPECT_NE(std::memcmp(AscGlyph('A'), AscGlyph('B'), kAscGlyphBytes), 0);
  // Digits '0'..'9' are ten distinct glyphs.
  for (int a = '0'; a <= '9'; ++a)
    for (int b = a + 1; b <= '9'; ++b)
      EXPECT_NE(std::memcmp(AscGlyph(a), AscGlyph(b), kAscGlyphBytes), 0) << a << " vs " << b;
}

TEST(AscFontTest, BlockElementsFixBitAndRowOrder) {
  for (int r = 0; r < 16; ++r) {
    EXPECT_EQ(AscGlyph(0xDB)[r], 0xFF) << "full block row " << r;
    EXPECT_EQ(AscGlyph(0xDD)[r], 0xF0) << "left half block row " << r;   // bit 7 = left
    EXPECT_EQ(AscGlyph(0xDE)[r], 0x0F) << "right half block row " << r;
    EXPECT_EQ(AscGlyph(0xDC)[r], r >= 8 ? 0xFF : 0x00) << "lower half row " << r;  // row 0 = top
    EXPECT_EQ(AscGlyph(0xDF)[r], r < 8 ? 0xFF : 0x00) << "upper half row " << r;
  }
}

TEST(GbUnicodeTableTest, UnassignedPositionsAreIdeographicSpace) {
  // GB2312 leaves 164 positions empty in the symbol rows and 5 (0xD7FA..0xD7FE)
  // in the hanzi rows: 169 in all. 0xA1A1 is assigned to U+3000 itself, so
  // U+3000 appears 170 times.
  int spaces = 0;
  for (int i = 0; i < kGbUnicodeEntries; ++i) {
    EXPECT_NE(GbUnicodeTable[i], 0) << "index " << i;
    if (GbUnicodeTable[i] == 0x3000) ++spaces;
  }
  EXPECT_EQ(spaces, 170);
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xA1, 0xA1)], 0x3000);
  for (int trail = 0xFA; trail <= 0xFE; ++trail)
    EXPECT_EQ(GbUnicodeTable[GbIndex(0xD7, trail)], 0x3000) << std::hex << trail;
}

TEST(GbUnicodeTableTest, KnownMappings) {
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xA1, 0xA2)], 0x3001);  // 、
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xA1, 0xAC)], 0x2225);  // ∥, not U+2016
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xA3, 0xC1)], 0xFF21);  // Ａ
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xA6, 0xC1)], 0x03B1);  // α
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xA9, 0xA4)], 0x2500);  // ─
  EXPECT_EQ(GbIndex(0xB0, 0xA1), 846);
  EXPECT_EQ(GbUnicodeTable[846], 0x554A);                  // 啊, first hanzi
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xD2, 0xBB)], 0x4E00);  // 一
  EXPECT_EQ(GbUnicodeTable[GbIndex(0xD7, 0xF9)], 0x5EA7);  // 座, last level-1 hanzi
  EXPECT_EQ(GbIndex(0xF7, 0xFE), kGbUnicodeEntries - 1);
  EXPECT_EQ(GbUnicodeTable[kGbUnicodeEntries - 1], 0x9F44);  // 齄, last hanzi
}

TEST(GbUnicodeTableTest, HanziRowsHoldOnlyCjkIdeographs) {
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (lead == 0xD7 && trail >= 0xFA) continue;
      uint16_t cp = GbUnicodeTable[GbIndex(lead, trail)];
      EXPECT_TRUE(cp >= 0x4E00 && cp <= 0x9FFF)
          << std::hex << lead << trail << " -> U+" << cp;
    }
  }
}

TEST(HzkFontTest, RowsOutsideGb2312AreBlank) {
  for (int lead : {0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE})
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
      EXPECT_EQ(InkBits(HzkGlyph(lead, trail), kHzkGlyphBytes), 0)
          << std::hex << lead << trail;
}

TEST(HzkFontTest, GlyphPresentExactlyWhereTableAssignsCharacter) {
  // Ties the grid to the table: anything U+3000 draws nothing, and every
  // assigned hanzi has a drawing (Unifont covers all of GB2312's hanzi).
  for (int lead = 0xA1; lead <= 0xF7; ++lead) {
    if (lead >= 0xAA && lead <= 0xAF) continue;
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      uint16_t cp = GbUnicodeTable[GbIndex(lead, trail)];
      int ink = InkBits(HzkGlyph(lead, trail), kHzkGlyphBytes);
      if (cp == 0x3000) {
        EXPECT_EQ(ink, 0) << std::hex << lead << trail;
      } else if (lead >= 0xB0) {
        EXPECT_GT(ink, 0) << std::hex << lead << trail;
      }
    }
  }
}

TEST(HzkFontTest, HanziOneIsASingleHorizontalStroke) {
  // Unifont's 一 is one row 0xFFFE at row 7: checks row order and byte order.
  const uint8_t* g = HzkGlyph(0xD2, 0xBB);
  for (int r = 0; r < 16; ++r) EXPECT_EQ(HzkRow(g, r), r == 7 ? 0xFFFE : 0) << "row " << r;
}

TEST(HzkFontTest, FullWidthLetterMatchesUnifont) {
  // Ａ (U+FF21) is a 16-wide Unifont glyph and is copied unchanged.
  const uint16_t expected[16] = {0x0000, 0x0000, 0x0000, 0x0000, 0x03C0, 0x0C30, 0x0C30, 0x300C,
                                 0x300C, 0x3FFC, 0x300C, 0x300C, 0x300C, 0x300C, 0x0000, 0x0000};
  const uint8_t* g = HzkGlyph(0xA3, 0xC1);
  for (int r = 0; r < 16; ++r) EXPECT_EQ(HzkRow(g, r), expected[r]) << "row " << r;
}

TEST(HzkFontTest, NarrowGlyphsAreCentred) {
  // α and ─ are 8 wide in Unifont; they must sit in columns 4..11.
  for (auto [lead, trail] : {std::pair{0xA6, 0xC1}, std::pair{0xA9, 0xA4}}) {
    const uint8_t* g = HzkGlyph(lead, trail);
    EXPECT_GT(InkBits(g, kHzkGlyphBytes), 0);
    for (int r = 0; r < 16; ++r) EXPECT_EQ(HzkRow(g, r) & 0xF00F, 0) << "row " << r;
  }
  // Unifont's ─ is 0xFF in row 7, so here it fills columns 4..11 of row 7.
  EXPECT_EQ(HzkRow(HzkGlyph(0xA9, 0xA4), 7), 0x0FF0);
}

}  // namespace
}  // namespace ledview
