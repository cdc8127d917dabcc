// The outline glyph cache: cached cells are the cells the face renders afresh,
// the cache follows the face, and it keeps within its storage.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "content/glyphcache.h"
#include "ledview.h"
#include "support/engine_fixture.h"
#include "support/text_fixture.h"

namespace ledview::test {
namespace {

constexpr uint16_t Gb(int lead, int trail) { return static_cast<uint16_t>(lead | trail << 8); }

// "Welcome to 欢迎光临 LED display 12:30 温度 25.5C, 今天天气晴朗。" in GB2312.
constexpr const char* kPhrase =
    "Welcome to \xBB\xB6\xD3\xAD\xB9\xE2\xC1\xD9 LED display 12:30 \xCE\xC2\xB6\xC8 25.5C, "
    "\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xC7\xE7\xC0\xCA\xA1\xA3";

// Every printable ASCII character, the phrase's hanzi and symbols, GB2312
// symbols, a code with no Unicode mapping and the white square's own code.
std::vector<uint16_t> TestCodes() {
  std::vector<uint16_t> codes;
  for (uint16_t c = 0x21; c < 0x7F; ++c) codes.push_back(c);
  for (const char* p = kPhrase; *p != 0;) {
    const auto b = static_cast<uint8_t>(*p);
    if (b > 0xA0) {
      codes.push_back(Gb(b, static_cast<uint8_t>(p[1])));
      p += 2;
    } else {
      ++p;
    }
  }
  for (int trail : {0xA1, 0xA2, 0xAC, 0xE3}) codes.push_back(Gb(0xA1, trail));
  codes.push_back(Gb(0xB0, 0xA1));  // 啊
  codes.push_back(Gb(0xF7, 0xFE));  // the last level-2 hanzi
  codes.push_back(Gb(0xAA, 0xA1));  // no mapping: code point 0
  codes.push_back(Gb(0xA1, 0xF5));  // □
  codes.push_back(0xA0);            // no-break space: no ink
  return codes;
}

struct Seen {
  uint32_t measured;
  uint32_t drawn;
  std::vector<uint8_t> rows;
};

Seen See(int32_t size, uint16_t code, bool measurefirst) {
  Seen s{};
  if (measurefirst) s.measured = GetGlyph(size, code, 0)->width;
  const GlyphCell* cell = GetGlyph(size, code, 1);
  s.drawn = cell->width;
  if (cell->rows != nullptr) s.rows.assign(cell->rows, cell->rows + size_t{cell->pitch} * cell->height);
  if (!measurefirst) s.measured = GetGlyph(size, code, 0)->width;
  return s;
}

std::string LaidOut(int32_t size, const char* text) {
  BmpBlock* image = GetStringBmp(size, text, static_cast<int32_t>(std::string(text).size()), 1, 0, 0);
  if (image == nullptr) return "null";
  const std::string picture = Picture(image);
  ArenaFree(image);
  return picture;
}

class GlyphCacheTest : public TextTest {
 protected:
  void TearDown() override {
    glyphcacheoff = false;
    TextTest::TearDown();
  }
  // The cell the face renders with no cache in the way.
  static Seen Fresh(int32_t size, uint16_t code) {
    glyphcacheoff = true;
    const Seen s = See(size, code, true);
    glyphcacheoff = false;
    return s;
  }
};

TEST_F(GlyphCacheTest, CachedCellsAndAdvancesAreTheFreshOnesByteForByte) {
  const std::vector<uint16_t> codes = TestCodes();
  const size_t distinct = std::set<uint16_t>(codes.begin(), codes.end()).size();
  for (const char* font : {LEDVIEW_TEST_FONT, LEDVIEW_TEST_CJK_FONT}) {
    UseFont(font);
    // Filled by a measurement (as a layout does) and, after emptying, by a
    // drawing; each then read back from the cache. All sizes share it.
    for (bool measurefirst : {true, false}) {
      GlyphCacheEmpty();
      for (int32_t size : {17, 24, 48}) {
        for (uint16_t code : codes) {
          const Seen fresh = Fresh(size, code);
          ASSERT_FALSE(fresh.rows.empty());
          const Seen filled = See(size, code, measurefirst);
          const Seen again = See(size, code, !measurefirst);
          const std::string where = std::string(font) + " size " + std::to_string(size) + " code " +
                                    std::to_string(code);
          EXPECT_EQ(filled.measured, fresh.measured) << where;
          EXPECT_EQ(filled.drawn, fresh.drawn) << where;
          EXPECT_EQ(filled.rows, fresh.rows) << where;
          EXPECT_EQ(again.measured, fresh.measured) << where;
          EXPECT_EQ(again.drawn, fresh.drawn) << where;
          EXPECT_EQ(again.rows, fresh.rows) << where;
        }
      }
      EXPECT_EQ(GlyphCacheCount(), 3 * distinct);
    }
    // Whole layouts: the phrase measured and drawn twice over a filled cache.
    for (int32_t size : {17, 24, 48}) {
      glyphcacheoff = true;
      const std::string fresh = LaidOut(size, kPhrase);
      glyphcacheoff = false;
      EXPECT_EQ(LaidOut(size, kPhrase), fresh) << font << " " << size;
      EXPECT_EQ(LaidOut(size, kPhrase), fresh) << font << " " << size;
    }
    ReleaseFontFace();
  }
}

TEST_F(GlyphCacheTest, AFontChangeOrAnotherFaceEmptiesTheCacheAndCellsComeFromTheNewFace) {
  UseFont(LEDVIEW_TEST_FONT);
  const Seen latin = See(24, 'A', true);
  ASSERT_EQ(GlyphCacheCount(), 1u);
  const FontState first = fontstate;
  fontstate = FontState{};
  UseFont(LEDVIEW_TEST_CJK_FONT);
  EXPECT_EQ(GlyphCacheCount(), 0u);
  const Seen cjk = See(24, 'A', true);
  ASSERT_NE(cjk.rows, latin.rows);  // otherwise this test shows nothing
  EXPECT_EQ(cjk.rows, Fresh(24, 'A').rows);

  // A face put in place without loading (as the layout fuzz target swaps
  // faces) is noticed too.
  const FontState second = fontstate;
  fontstate = first;
  EXPECT_EQ(See(24, 'A', true).rows, latin.rows);
  EXPECT_EQ(GlyphCacheCount(), 1u);
  ReleaseFontFace();
  EXPECT_EQ(GlyphCacheCount(), 0u);
  fontstate = second;
  EXPECT_EQ(See(24, 'A', true).rows, cjk.rows);
  ReleaseFontFace();
  EXPECT_EQ(GlyphCacheCount(), 0u);
  EXPECT_EQ(GlyphCacheBytes(), 0u);
}

TEST_F(GlyphCacheTest, StaysWithinItsStorageOverALongRunOfDistinctCodes) {
  UseFont(LEDVIEW_TEST_CJK_FONT);
  uint32_t empties = 0;
  uint32_t last = 0;
  uint32_t highest = 0;
  // Every GB2312 hanzi at 48 and then at 24 pixels: far more cells than fit.
  for (int32_t size : {48, 24}) {
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
      for (int trail = 0xA1; trail <= 0xFE; ++trail) {
        ASSERT_NE(GetGlyph(size, Gb(lead, trail), 1)->rows, nullptr);
        const uint32_t count = GlyphCacheCount();
        if (count < last) ++empties;
        last = count;
        highest = std::max(highest, GlyphCacheBytes());
        ASSERT_LE(GlyphCacheBytes(), kGlyphCacheFootprint);
        ASSERT_LE(count, kGlyphCacheEntries);
      }
    }
  }
  EXPECT_GE(empties, 2u);
  EXPECT_GT(highest, kGlyphCacheSlabBytes / 2);  // it did fill before emptying
  // Cells added after emptying are as good as the first ones.
  for (uint16_t code : {Gb(0xB0, 0xA1), Gb(0xF7, 0xFE), uint16_t{'g'}}) {
    const Seen fresh = Fresh(48, code);
    EXPECT_EQ(See(48, code, true).rows, fresh.rows) << code;
  }
  // A cell too big to keep is rendered every time and leaves the cache as it was.
  const uint32_t bytes = GlyphCacheBytes();
  ASSERT_FALSE(GlyphCacheKeeps(400, GlyphPitch(400)));
  ASSERT_NE(GetGlyph(400, 'W', 1)->rows, nullptr);
  EXPECT_EQ(GlyphCacheBytes(), bytes);
}

// Cells of 17..20 px are small: the index fills before the slab does, so it
// is the entry limit that empties the cache, and it never holds more.
TEST_F(GlyphCacheTest, SmallCellsEmptyTheCacheAtTheEntryLimit) {
  UseFont(LEDVIEW_TEST_CJK_FONT);
  uint32_t last = 0;
  uint32_t full = 0;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      ASSERT_NE(GetGlyph(18, Gb(lead, trail), 1)->rows, nullptr);
      const uint32_t count = GlyphCacheCount();
      ASSERT_LE(count, kGlyphCacheEntries);
      if (count < last) {
        EXPECT_EQ(last, kGlyphCacheEntries) << "emptied before the index was full";
        ++full;
      }
      last = count;
    }
  }
  EXPECT_GE(full, 2u);
}

using GlyphCacheEngineTest = EngineTest;

TEST_F(GlyphCacheEngineTest, ReleaseAndANewFontEmptyTheCache) {
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  GetGlyph(40, 'A', 1);
  EXPECT_EQ(GlyphCacheCount(), 1u);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_CJK_FONT), 0);
  EXPECT_EQ(GlyphCacheCount(), 0u);
  GetGlyph(40, 'A', 1);
  EXPECT_EQ(GlyphCacheCount(), 1u);
  ReleasePreview();
  EXPECT_EQ(GlyphCacheCount(), 0u);
  EXPECT_EQ(GlyphCacheBytes(), 0u);
}

}  // namespace
}  // namespace ledview::test
