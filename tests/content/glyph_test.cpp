// Glyph cells from the built-in bitmap fonts and from an outline face, and
// GB2312 to Unicode conversion.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "content/fontdata/fontdata.h"
#include "support/engine_fixture.h"
#include "support/text_fixture.h"

namespace ledview::test {
namespace {

// GB2312 bytes as the engine's code: lead in the low byte.
constexpr uint16_t Gb(int lead, int trail) { return static_cast<uint16_t>(lead | trail << 8); }
constexpr uint16_t kAh = Gb(0xB0, 0xA1);  // 啊, U+554A

void FillArena() {
  for (size_t n = 1 << 20; n > 0; n >>= 1)
    while (ArenaAlloc(n) != nullptr) {
    }
}

using BitmapGlyphTest = TextTest;

TEST_F(BitmapGlyphTest, CodesAddressTheFontsAndBytesOutsideTheGridGiveBlankCells) {
  // Source glyph, or null for a blank cell: lead or trail bytes outside
  // 0xA1..0xFE would index past the font.
  const std::pair<uint16_t, const uint8_t*> cases[] = {
      {'A', AscFont + 'A' * 16}, {0xFE, AscFont + 0xFE * 16}, {Gb(0xA1, 0xB0), HzkFont + 15 * 32},
      {kAh, HzkFont + 1410 * 32}, {Gb(0xFE, 0xFE), HzkFont + (94 * 94 - 1) * 32}, {Gb(0xFF, 0xA1), nullptr},
      {Gb(0xB0, 0xFF), nullptr}, {Gb(0xB0, 0xA0), nullptr}, {Gb(0x41, 0xB0), nullptr}, {0xFF, nullptr}};
  for (auto [code, source] : cases) {
    const GlyphCell* cell = GetGlyph(24, code, 1);  // without a face every size is 16
    const uint32_t n = code < 0xFF ? 16 : 32;
    EXPECT_EQ(cell->width * 2, n) << std::hex << code;
    EXPECT_EQ(cell->height * cell->pitch, n);
    ASSERT_NE(cell->rows, nullptr);
    const std::vector<uint8_t> want = source ? std::vector<uint8_t>(source, source + n) : std::vector<uint8_t>(n);
    EXPECT_EQ(std::vector<uint8_t>(cell->rows, cell->rows + n), want) << std::hex << code;
  }
  // Metrics alone have no rows; each call frees the previous cell.
  EXPECT_EQ(GetGlyph(16, kAh, 0)->rows, nullptr);
  EXPECT_EQ(glyphcell.width, 16u);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
  FillArena();
  EXPECT_EQ(GetGlyph(16, kAh, 1)->rows, nullptr);
  EXPECT_EQ(glyphcell.width, 16u);
}

TEST(GbToUnicodeTest, BothTableRangesAndZeroOutsideThem) {
  const std::pair<uint16_t, uint16_t> cases[] = {
      {Gb(0xA1, 0xAC), 0x2225} /* ∥, not U+2016 */, {Gb(0xA9, 0xEF), 0x254B}, {kAh, 0x554A}, {Gb(0xF7, 0xFE), 0x9F44},
      {Gb(0xAA, 0xA1), 0}, {Gb(0xF8, 0xA1), 0}, {Gb(0xB0, 0xFF), 0}, {'A', 0}};
  for (auto [code, unicode] : cases) EXPECT_EQ(GbToUnicode(code), unicode) << std::hex << code;
}

// ---- Outline face ----------------------------------------------------------

// A glyph as FreeType itself renders it, from a face of its own.
Pic Reference(const char* path, int32_t size, uint32_t code, bool by_index = false) {
  FT_Library library;
  FT_Face face;
  EXPECT_EQ(FT_Init_FreeType(&library), 0);
  EXPECT_EQ(FT_New_Face(library, path, 0, &face), 0);
  FT_Set_Pixel_Sizes(face, 0, size);
  const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_MONOCHROME;
  EXPECT_EQ(by_index ? FT_Load_Glyph(face, code, flags) : FT_Load_Char(face, code, flags), 0);
  const FT_Bitmap& b = face->glyph->bitmap;
  Pic rows(b.rows);
  for (uint32_t y = 0; y < b.rows; ++y)
    for (uint32_t x = 0; x < b.width; ++x) rows[y] += BitAt(b.buffer, b.pitch, x, y) ? '#' : '.';
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return rows;
}

// The size x size cell with ref's ink at (x, y), cut to the cell.
std::string Placed(const Pic& ref, int32_t size, int32_t x, int32_t y) {
  Pic cell = Dark(size, size);
  for (int32_t r = 0; r < static_cast<int32_t>(ref.size()); ++r)
    for (int32_t c = 0; c < static_cast<int32_t>(ref[r].size()); ++c)
      if (ref[r][c] == '#' && x + c >= 0 && x + c < size && y + r >= 0 && y + r < size) cell[y + r][x + c] = '#';
  return Art(cell);
}

std::string Cell(int32_t size, uint16_t code) {
  const GlyphCell* cell = GetGlyph(size, code, 1);
  return cell->rows == nullptr ? "null" : Picture(cell->rows, cell->pitch, size, size);
}

using OutlineGlyphTest = TextTest;

// Each cell is FreeType's own bitmap placed at (x, y): the baseline at
// seven eighths of the cell, ink pushed back inside the advance and the
// cell, ideographs with room to spare centred one pixel below the middle.
TEST_F(OutlineGlyphTest, AdvancesAndPlacements) {
  struct Case {
    const char* font;
    int32_t size;
    uint16_t code;
    uint32_t drawn;  // the character FreeType draws for it
    uint32_t advance;
    int32_t x, y;
    const char* why;
  };
  const char* latin = LEDVIEW_TEST_FONT;
  const char* cjk = LEDVIEW_TEST_CJK_FONT;
  const Case cases[] = {
      {latin, 24, 'A', 'A', 16, 0, 3, "wide: advances by its ink, stands on the baseline"},
      {latin, 24, 'g', 'g', 12, 0, 6, "a descender lifted to the cell's bottom"},
      {latin, 24, 'i', 'i', 3, 1, 3, "bearing 2 pushed back to end at the advance"},
      {latin, 17, 0xC5, 0xC5, 11, 0, -2, "the ring above the cell is lost"},
      {latin, 24, kAh, 0x25A1, 24, 2, 4, "missing: the white square, centred"},
      {cjk, 48, 'v', 'v', 23, 0, 16, "a narrow v: one more, then one less"},
      {cjk, 24, Gb(0xA1, 0xE3), 0xB0, 9, 1, 4, "a symbol that is Latin-1 advances like one"},
      {cjk, 48, kAh, 0x554A, 48, 3, 5, "centred"},
      {cjk, 17, kAh, 0x554A, 17, 1, 1, "no room to centre: on the baseline"},
  };
  for (const Case& c : cases) {
    UseFont(c.font);
    EXPECT_EQ(GetGlyph(c.size, c.code, 0)->width, c.advance) << c.why;
    EXPECT_EQ(Cell(c.size, c.code), Placed(Reference(c.font, c.size, c.drawn), c.size, c.x, c.y)) << c.why;
    ReleaseFontFace();
  }
  // A grid position without a character is code point 0, which the face
  // answers with its glyph 0, not the white square.
  UseFont(latin);
  EXPECT_EQ(GetGlyph(24, Gb(0xAA, 0xA1), 0)->width, 12u);
  EXPECT_EQ(Cell(24, Gb(0xAA, 0xA1)), Placed(Reference(latin, 24, 0, true), 24, 0, 3));
}

TEST_F(OutlineGlyphTest, WordAlignedRowsBitmapsAtSixteenAndNoRowsWhenTooBig) {
  UseFont(LEDVIEW_TEST_FONT);
  EXPECT_EQ(GetGlyph(32, 'M', 1)->pitch, 4u);
  EXPECT_EQ(ArenaChunkSize(glyphcell.rows), ArenaRequestSize(4 * 32));
  EXPECT_EQ(GetGlyph(33, 'M', 1)->pitch, 8u);
  for (int32_t size : {16, -40}) {
    ASSERT_NE(GetGlyph(size, 'A', 1)->rows, nullptr);
    EXPECT_EQ(std::memcmp(glyphcell.rows, AscFont + 'A' * 16, 16), 0) << size;
  }
  for (int32_t size : {kMaxGlyphSize + 1, 0x7FFFFFFF}) {
    EXPECT_EQ(Cell(size, 'W'), "null");
    EXPECT_EQ(glyphcell.height, static_cast<uint32_t>(size));
    EXPECT_EQ(GetGlyph(size, kAh, 0)->width, static_cast<uint32_t>(size));
  }
  // The largest size whose cell fits an arena block.
  EXPECT_LE(uint64_t{GlyphPitch(kMaxGlyphSize)} * kMaxGlyphSize, kArenaBlockSize);
  EXPECT_GT(uint64_t{GlyphPitch(kMaxGlyphSize + 1)} * (kMaxGlyphSize + 1), kArenaBlockSize);
  const uint32_t width = GetGlyph(48, 'W', 0)->width;
  FillArena();
  EXPECT_EQ(Cell(48, 'W'), "null");
  EXPECT_EQ(glyphcell.width, width);
}

// The face keeps the last pixel size; a new face must not inherit it.
TEST_F(OutlineGlyphTest, PicturesDoNotDependOnThePreviousSizeOrFace) {
  UseFont(LEDVIEW_TEST_CJK_FONT);
  const std::string a24 = Cell(24, 'A');
  Cell(48, kAh);
  EXPECT_EQ(Cell(24, 'A'), a24);
  ReleaseFontFace();
  UseFont(LEDVIEW_TEST_CJK_FONT);
  EXPECT_EQ(Cell(24, 'A'), a24);
  EXPECT_NE(a24.find('#'), std::string::npos);
}

// The cell must not keep a pointer into an arena that is gone: the next
// GetGlyph would free it into the new one.
using GlyphEngineTest = EngineTest;

TEST_F(GlyphEngineTest, ReleaseForgetsTheGlyphRowsOfTheOldArena) {
  for (int round = 0; round < 2; ++round) {
    testing::internal::CaptureStdout();
    ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(glyphcell.rows, nullptr) << round;
    const uint32_t top = ArenaTopSize();
    ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
    ASSERT_NE(GetGlyph(40, 'A', 1)->rows, nullptr);
    GetGlyph(40, 'A', 0);
    EXPECT_EQ(ArenaTopSize(), top);
    ASSERT_NE(GetGlyph(16, 'A', 1)->rows, nullptr);
    ReleasePreview();
    EXPECT_EQ(glyphcell.rows, nullptr);
  }
}

}  // namespace
}  // namespace ledview::test
