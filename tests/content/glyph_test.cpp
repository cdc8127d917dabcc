// Glyph cells from the built-in bitmap fonts and from an outline face.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "support/engine_fixture.h"
#include "support/text_fixture.h"

namespace ledview::test {
namespace {

// GB2312 bytes as the engine's code: lead in the low byte.
constexpr uint16_t Gb(int lead, int trail) { return static_cast<uint16_t>(lead | trail << 8); }
constexpr uint16_t kAh = Gb(0xB0, 0xA1);  // 啊, U+554A

using BitmapGlyphTest = TextTest;

TEST_F(BitmapGlyphTest, CodesAddressTheFontsAndBytesOutsideTheGridGiveBlankCells) {
  // Source glyph, or null for a blank cell: bytes outside 0xA1..0xFE would index past the font.
  const std::pair<uint16_t, const uint8_t*> cases[] = {
      {'A', AscFont + 'A' * 16}, {kAh, HzkFont + 1410 * 32}, {Gb(0xFE, 0xFE), HzkFont + (94 * 94 - 1) * 32},
      {Gb(0xFF, 0xA1), nullptr}, {Gb(0xB0, 0xFF), nullptr}, {Gb(0xB0, 0xA0), nullptr}, {Gb(0x41, 0xB0), nullptr}};
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
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
  FillArena();
  EXPECT_EQ(GetGlyph(16, kAh, 1)->rows, nullptr);
  EXPECT_EQ(glyphcell.width, 16u);
}

std::string Cell(int32_t size, uint16_t code) {
  const GlyphCell* cell = GetGlyph(size, code, 1);
  return cell->rows == nullptr ? "null" : Picture(cell->rows, cell->pitch, size, size);
}
// The ink's bounding box in the cell: left, top, right, bottom.
std::vector<int32_t> Box(int32_t size, uint16_t code) {
  const std::string cell = Cell(size, code);
  std::vector<int32_t> box = {size, size, -1, -1};
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x)
      if (cell[y * (size + 1) + x] == '#')
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

using OutlineGlyphTest = TextTest;

// Where the ink lands: baseline at 7/8 of the cell, ink pushed back inside the
// cell, roomy ideographs centred. (A shape is pinned in the text play tests.)
TEST_F(OutlineGlyphTest, AdvancesAndPlacements) {
  const char *latin = LEDVIEW_TEST_FONT, *cjk = LEDVIEW_TEST_CJK_FONT;
  struct Case { const char* font; int32_t size; uint16_t code; uint32_t advance; std::vector<int32_t> box; };
  const Case cases[] = {
      {latin, 24, 'g', 12, {0, 6, 11, 23}},             // a descender lifted to the cell's bottom
      {latin, 17, 0xC5, 11, {0, 0, 10, 13}},            // the ring above the cell is lost
      {latin, 24, Gb(0xAA, 0xA1), 12, {0, 3, 11, 23}},  // no character: code point 0, the face's glyph 0
      {cjk, 24, Gb(0xA1, 0xE3), 9, {1, 4, 8, 11}},      // a symbol that is Latin-1 advances like one
      {cjk, 48, kAh, 48, {3, 5, 44, 44}},               // centred
      {cjk, 17, kAh, 17, {1, 1, 15, 15}},               // no room to centre: on the baseline
  };
  for (const Case& c : cases) {
    UseFont(c.font);
    EXPECT_EQ(GetGlyph(c.size, c.code, 0)->width, c.advance) << c.size << " " << c.code;
    EXPECT_EQ(Box(c.size, c.code), c.box) << c.size << " " << c.code;
    ReleaseFontFace();
  }
}

TEST_F(OutlineGlyphTest, WordAlignedRowsBitmapsAtSixteenSizeChangesAndNoRowsWhenTooBig) {
  UseFont(LEDVIEW_TEST_FONT);
  EXPECT_EQ(GetGlyph(32, 'M', 1)->pitch, 4u);
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
  // The face keeps the last pixel size; a new face must not inherit it.
  ReleaseFontFace();
  UseFont(LEDVIEW_TEST_CJK_FONT);
  const std::string a24 = Cell(24, 'A');
  Cell(48, kAh);
  EXPECT_EQ(Cell(24, 'A'), a24);
  ReleaseFontFace();
  UseFont(LEDVIEW_TEST_CJK_FONT);
  EXPECT_EQ(Cell(24, 'A'), a24);
  const uint32_t width = GetGlyph(48, 'W', 0)->width;
  FillArena();
  EXPECT_EQ(Cell(48, 'W'), "null");
  EXPECT_EQ(glyphcell.width, width);
}

// The cell must not keep a pointer into a gone arena: GetGlyph would free it into the new one.
using GlyphEngineTest = EngineTest;

TEST_F(GlyphEngineTest, ReleaseForgetsTheGlyphRowsOfTheOldArena) {
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  ASSERT_NE(GetGlyph(40, 'A', 1)->rows, nullptr);
  ReleasePreview();
  EXPECT_EQ(glyphcell.rows, nullptr);
  ASSERT_EQ(InitLedConfigure(64, 32, 1), 0);
  const uint32_t top = ArenaTopSize();
  ASSERT_NE(GetGlyph(16, 'A', 1)->rows, nullptr);
  GetGlyph(16, 'A', 0);
  EXPECT_EQ(ArenaTopSize(), top);
}

}  // namespace
}  // namespace ledview::test
