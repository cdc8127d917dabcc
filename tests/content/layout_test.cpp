#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "support/text_fixture.h"

namespace ledview::test {
namespace {

class LayoutTest : public TextTest {
 protected:
  // Lays text out and keeps the image until the test ends.
  const BmpBlock* Lay(int32_t size, const std::string& text, int32_t width = 0, int32_t height = 0,
                      uint32_t format = 1) {
    ArenaFree(image_);
    image_ = GetStringBmp(size, text.data(), static_cast<int32_t>(text.size()), format, width, height);
    return image_;
  }
  std::string LaidOut(int32_t size, const std::string& text, int32_t width = 0, int32_t height = 0) {
    const BmpBlock* image = Lay(size, text, width, height);
    return image == nullptr ? "null" : Picture(image);
  }
  void TearDown() override {
    ArenaFree(image_);
    TextTest::TearDown();
  }
  BmpBlock* image_ = nullptr;
};

// Bits right of the width in every row stay dark.
bool PaddingClear(const BmpBlock* image) {
  for (int32_t y = 0; y < image->height; ++y)
    for (int32_t x = image->width; x < static_cast<int32_t>(image->pitch * 8); ++x)
      if (BitAt(BmpBlockRows(image), image->pitch, x, y)) return false;
  return true;
}

void Measure(const std::string& text, int32_t cell, int32_t* width, int32_t* height) {
  GetStringSize(text.data(), static_cast<int32_t>(text.size()), cell, width, height);
}

// One character per band of pitch rows starting every step rows: '#' when
// the band holds ink.
std::string Bands(const BmpBlock* image, int32_t step, int32_t rows) {
  std::string s;
  for (int32_t top = 0; top < image->height; top += step) {
    bool ink = false;
    for (int32_t y = top; y < top + rows && y < image->height; ++y)
      for (int32_t x = 0; x < image->width; ++x) ink |= BitAt(BmpBlockRows(image), image->pitch, x, y);
    s += ink ? '#' : '.';
  }
  return s;
}

const std::string kA = "...##...";  // row 4 of the built-in 'A', for spotting lines

std::vector<std::string> G(uint16_t code) { return BuiltInGlyph(code); }

TEST_F(LayoutTest, SingleLineInBitmapCells) {
  // A, a digit as wide as half a cell, a half-cell space, B.
  const BmpBlock* image = Lay(16, "A1 B", 0, 0, 5);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 32);
  EXPECT_EQ(image->height, 16);
  EXPECT_EQ(image->format, 5u);
  EXPECT_EQ(image->pitch, 4u);
  EXPECT_EQ(Picture(image), Art(Beside(Beside(Beside(G('A'), G('1')), Dark(8, 16)), G('B'))));
}

TEST_F(LayoutTest, DigitsAndDotsAreCentredInHalfCells) {
  // No face: 8-pixel glyphs in 24-pixel cells. '1', '.' and '2' take 12
  // pixels each, centred; the glyphs fill the top 16 rows of the cell.
  const BmpBlock* image = Lay(24, "1.2");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 36);
  EXPECT_EQ(image->height, 24);
  std::string expected = Art({
      "....................................",
      "....................................",
      "....................................",
      "....................................",
      "......#.....................####....",
      ".....##....................#....#...",
      "....#.#....................#....#...",
      "......#.........................#...",
      "......#.......................##....",
      "......#......................#......",
      "......#.....................#.......",
      "......#....................#........",
      "......#..........##........#........",
      "....#####........##........######...",
  });
  for (int r = 14; r < 24; ++r) expected += std::string(36, '.') + "\n";
  EXPECT_EQ(Picture(image), expected);
  // Letters keep their own width.
  ASSERT_NE(Lay(24, "A.A"), nullptr);
  EXPECT_EQ(image_->width, 8 + 12 + 8);
}

TEST_F(LayoutTest, TabsAndSpacesAdvanceHalfACell) {
  ASSERT_NE(Lay(16, "A\tB"), nullptr);
  EXPECT_EQ(image_->width, 24);
  ASSERT_NE(Lay(24, "A \tB"), nullptr);
  EXPECT_EQ(image_->width, 8 + 12 + 12 + 8);
  // B lands half a byte in.
  EXPECT_EQ(LaidOut(24, "A B"), Art(Above(Beside(Beside(G('A'), Dark(12, 16)), G('B')), Dark(28, 8))));
  ASSERT_NE(Lay(16, "  "), nullptr);
  EXPECT_EQ(image_->width, 16);
  EXPECT_EQ(image_->height, 0);  // no line holds a glyph
}

TEST_F(LayoutTest, SizesBelowSixteenUseSixteenPixelCells) {
  const std::string sixteen = LaidOut(16, "A1 B");
  for (int32_t size : {15, 8, 0, -5}) EXPECT_EQ(LaidOut(size, "A1 B"), sixteen) << size;
}

TEST_F(LayoutTest, LineEndsStartNewLines) {
  const std::string expected = Art(Above(Beside(G('H'), G('i')), Beside(G('A'), Dark(8, 16))));
  EXPECT_EQ(LaidOut(16, "Hi\nA"), expected);
  EXPECT_EQ(LaidOut(16, "Hi\r\nA"), expected);
  EXPECT_EQ(LaidOut(16, "Hi\rA"), expected);
  // CR LF is one line end; CR CR and LF CR are two.
  ASSERT_NE(Lay(16, "A\r\n\r\nB\n\rC"), nullptr);
  EXPECT_EQ(image_->height, 16 * 5);
  EXPECT_EQ(Bands(image_, 16, 16), "#.#.#");
  // The same text with LF only lays out identically.
  const std::string crlf = LaidOut(24, "one\r\ntwo\r\n\r\n3.5\r\n");
  EXPECT_EQ(crlf, LaidOut(24, "one\ntwo\n\n3.5\n"));
}

TEST_F(LayoutTest, WrapsAtTheGivenWidth) {
  // The measurement counts the space that does not fit as a line end; the
  // drawing moves C to the next line because it would cross the edge.
  const BmpBlock* image = Lay(16, "AB CD", 20);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 20);
  EXPECT_EQ(image->height, 32);
  EXPECT_EQ(Picture(image), Art(Above(Beside(Beside(G('A'), G('B')), Dark(4, 16)),
                                      Beside(Beside(G('C'), G('D')), Dark(4, 16)))));
  // Seven letters, three to a 30-pixel line.
  ASSERT_NE(Lay(16, "AAAAAAA", 30), nullptr);
  EXPECT_EQ(image_->height, 48);
  const std::string picture = Picture(image_);
  auto line_row4 = [&](int line) { return picture.substr((line * 16 + 4) * 31, 31); };
  EXPECT_EQ(line_row4(0), kA + kA + kA + "......\n");
  EXPECT_EQ(line_row4(1), kA + kA + kA + "......\n");
  EXPECT_EQ(line_row4(2), kA + std::string(22, '.') + "\n");
}

TEST_F(LayoutTest, GlyphsWiderThanTheImageAreClipped) {
  // Given both sides, nothing is measured: A, B and 啊 each take a line, and
  // the 16-pixel hanzi is cut at the 12-pixel edge, not spilled into the
  // next row.
  const BmpBlock* image = Lay(16, "AB\xB0\xA1", 12, 48);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pitch, 4u);
  EXPECT_EQ(Bands(image, 16, 16), "###");
  EXPECT_EQ(Picture(image).substr(32 * 13), Art({
      "............",
      "....###.####",
      "###.#.#.....",
      "#.#.#.#.....",
      "#.#.#.#.###.",
      "#.#.#.#.#.#.",
      "#.#.##..#.#.",
      "#.#.#.#.#.#.",
      "#.#.#.#.#.#.",
      "#.#.#.#.#.#.",
      "###.#.#.###.",
      "#.#.#.#.#.#.",
      "....##......",
      "....#.......",
      "....#.....#.",
      "....#......#",
  }));
  EXPECT_TRUE(PaddingClear(image));
  // A 48-pixel outline cell is wider than a whole 4-byte row of a 20-pixel
  // image: clipping keeps it out of the padding and the rows below.
  UseFont(LEDVIEW_TEST_CJK_FONT);
  image = Lay(48, "\xB0\xA1", 20, 54 + 48);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pitch, 4u);
  EXPECT_EQ(Bands(image, 54, 48), ".#");  // after the line start the glyph forced
  EXPECT_TRUE(PaddingClear(image));
}

TEST_F(LayoutTest, MixedGb2312Text) {
  const BmpBlock* image = Lay(16, "A\xB0\xA1");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Picture(image), Art(Beside(G('A'), G(0xA1B0))));
}

TEST_F(LayoutTest, ControlCodesAreDrawn) {
  // 0x01 is the CP437 smiling face; 11, 12 and 14..31 draw the same way.
  EXPECT_EQ(LaidOut(16, "\x01"), Art(G(1)));
  for (char c : {'\x0B', '\x0C', '\x0E', '\x1F'}) {
    ASSERT_NE(Lay(16, std::string(1, c)), nullptr);
    EXPECT_EQ(image_->width, 8) << int(c);
    EXPECT_NE(Picture(image_).find('#'), std::string::npos) << int(c);
  }
}

TEST_F(LayoutTest, TheWalkStopsAtNulLengthAndADanglingLeadByte) {
  const std::string ab = LaidOut(16, "AB");
  EXPECT_EQ(LaidOut(16, std::string("AB\0CD", 5)), ab);
  ArenaFree(image_);
  image_ = GetStringBmp(16, "ABCD", 2, 1, 0, 0);
  ASSERT_NE(image_, nullptr);
  EXPECT_EQ(Picture(image_), ab);
  // A lead byte in the last position has no trail and is dropped.
  EXPECT_EQ(LaidOut(16, "AB\xB0"), ab);
  // A NUL trail byte is part of the character, not the end of the text.
  ASSERT_NE(Lay(16, std::string("\xB0\0A", 3)), nullptr);
  EXPECT_EQ(image_->width, 8 + 8);
}

TEST_F(LayoutTest, BadArgumentsGiveNull) {
  EXPECT_EQ(GetStringBmp(16, nullptr, 4, 1, 0, 0), nullptr);
  EXPECT_EQ(GetStringBmp(16, "AB", 0, 1, 0, 0), nullptr);
  EXPECT_EQ(GetStringBmp(16, "AB", -1, 1, 0, 0), nullptr);
  EXPECT_EQ(GetStringBmp(16, "AB", 2, 1, -1, 0), nullptr);
  EXPECT_EQ(GetStringBmp(16, "AB", 2, 1, 0, -1), nullptr);
  // Wider than a 16-bit header can describe.
  EXPECT_EQ(Lay(16, std::string(9000, 'A')), nullptr);
  EXPECT_EQ(Lay(16, "A", 0x10000, 16), nullptr);
  // The whole sum must not overflow either.
  EXPECT_EQ(Lay(0x7FFFFFFF, "AB\nCD"), nullptr);
  EXPECT_EQ(Lay(0x7FFFFFFF, "AB", 100), nullptr);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize) << "nothing kept after a refusal";
}

TEST_F(LayoutTest, ExplicitSizeIsUsedAsGiven) {
  const BmpBlock* image = Lay(16, "AB", 33, 20, 7);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 33);
  EXPECT_EQ(image->height, 20);
  EXPECT_EQ(image->pitch, 8u);
  EXPECT_EQ(image->format, 7u);
  EXPECT_EQ(ArenaChunkSize(image), ArenaRequestSize(12 + 8 * 20));
  // Height given, width measured.
  ASSERT_NE(Lay(16, "AB\nC", 0, 40), nullptr);
  EXPECT_EQ(image_->width, 16);
  EXPECT_EQ(image_->height, 40);
}

TEST_F(LayoutTest, LinesBelowTheImageAreNotDrawn) {
  ASSERT_NE(Lay(16, "AB\nCD", 16, 20), nullptr);
  const std::string picture = Picture(image_);
  EXPECT_EQ(picture.substr(4 * 17, 17), kA + ".#####..\n");
  EXPECT_EQ(picture.find('#', 16 * 17), std::string::npos);
  // At 30 pixels the wrap measurement gives a line feed cell + 1 pixels, the
  // drawing cell + line gap (4): the second line no longer fits.
  ASSERT_NE(Lay(30, "A\nB", 40), nullptr);
  EXPECT_EQ(image_->height, 30 + 1 + 30);
  EXPECT_EQ(Picture(image_).substr(4 * 41, 41), kA + std::string(32, '.') + "\n");
  EXPECT_EQ(Bands(image_, 30, 30), "#..");
}

// Found by fuzzing: measuring rendered every glyph, and drawing rendered the
// glyphs of lines below the image, so a long string at a size of thousands
// of pixels kept the caller for tens of seconds.
TEST_F(LayoutTest, HugeSizesAreMeasuredWithoutRasterWorkAndCutAtTheBottom) {
  UseFont(LEDVIEW_TEST_FONT);
  const std::string text(200, '&');
  const int32_t n = static_cast<int32_t>(text.size());
  const auto start = std::chrono::steady_clock::now();
  // One line far wider than 65535 pixels.
  EXPECT_EQ(GetStringBmp(3587, text.c_str(), n, 1, 0, 0), nullptr);
  // Wrapped at 16 pixels the measurement keeps glyphs wider than that on
  // one line, one cell tall; drawing moves each below the image.
  BmpBlock* narrow = GetStringBmp(3587, text.c_str(), n, 1, 16, 0);
  ASSERT_NE(narrow, nullptr);
  EXPECT_EQ(narrow->width, 16);
  EXPECT_EQ(narrow->height, 3587);
  EXPECT_EQ(Picture(narrow).find('#'), std::string::npos);
  ArenaFree(narrow);
  // Room for one line: the rest wraps below the image and is not drawn.
  BmpBlock* all = GetStringBmp(2000, text.c_str(), n, 1, 2100, 2100);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_NE(all, nullptr);
  const size_t bytes = kBmpHeaderBytes + size_t{all->pitch} * all->height;
  const std::vector<uint8_t> first(reinterpret_cast<uint8_t*>(all), reinterpret_cast<uint8_t*>(all) + bytes);
  ArenaFree(all);
  BmpBlock* one = GetStringBmp(2000, text.c_str(), 1, 1, 2100, 2100);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(std::memcmp(one, first.data(), bytes), 0);
  EXPECT_NE(Picture(one).find('#'), std::string::npos);
  ArenaFree(one);
  EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(LayoutTest, AnExhaustedArenaGivesNullOrBlankGlyphs) {
  // Room for exactly the image of "AB" and nothing else: the glyph cells get
  // no rows, are drawn blank and still advance.
  void* reserve = ArenaAlloc(12 + 4 * 16);
  ASSERT_NE(reserve, nullptr);
  for (size_t n = 1 << 20; n > 0; n >>= 1)
    while (ArenaAlloc(n) != nullptr) {
    }
  EXPECT_EQ(Lay(16, "ABCDE"), nullptr);  // 40 pixels need a larger block
  ArenaFree(reserve);
  const BmpBlock* image = Lay(16, "AB");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(Picture(image).find('#'), std::string::npos);
}

TEST_F(LayoutTest, LayoutLeavesOnlyTheImageInTheArena) {
  UseFont(LEDVIEW_TEST_FONT);
  ASSERT_NE(Lay(24, "Hello \xB0\xA1 world 3.14\nsecond line", 100), nullptr);
  ArenaFree(image_);
  image_ = nullptr;
  ReleaseGlyph();
  void* big = ArenaAlloc(100000);  // consolidates the fast bins
  ArenaFree(big);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
}

// ---- Measurement --------------------------------------------------------------

// GetStringSize from the given width and height (0 asks for a measurement)
// to the expected ones.
TEST(StringSizeTest, MeasurementRules) {
  struct Case {
    const char* text;
    int32_t cell, w, h, wantw, wanth;
    const char* why;
  };
  const Case cases[] = {
      {"AB\nCDE", 16, 0, 0, 24, 32, "the widest line"},
      {"AB\n", 16, 0, 0, 16, 16, "a last line counts only when it holds a glyph"},
      {"AB\n  ", 16, 0, 0, 16, 16, "spaces are no glyph"},
      {"AB\r\nC", 30, 0, 0, 16, 64, "from 25 pixels on lines are 14 % apart: 30 + 4 + 30"},
      {"A\nB", 24, 0, 0, 8, 48, "below 25 no gap"},
      {"12.5", 30, 0, 0, 60, 30, "digits are widened to half a cell"},
      {"AB\nC", 16, 0, 7, 16, 7, "a given height: only the width is measured"},
      {"AB\nCD", 16, 100, 0, 100, 33, "wrapping: a line feed adds one cell and one pixel"},
      {"AAA AAA", 16, 30, 0, 30, 32, "a space that reaches the edge ends the line"},
      {"AAAAAAA", 16, 30, 0, 30, 48, "8, 16, 24, 32 -> 16, 24, 32 -> 16, 24: new lines start a cell in"},
      {"\xB0\xA1\xB0\xA1", 16, 10, 0, 10, 16, "a glyph wider than the whole width never wraps"},
      {"AAAAAAA", 30, 50, 0, 50, 30 + 4 + 30, "wrapped lines are a line gap apart from 25 pixels on"},
      {"AAAAA", 30, 30, 0, 30, 2 * (30 + 4) + 30, "a pen at the width after a restart wraps again"},
      {"AAAAA", 30, 30, 5, 30, 5, "both given: nothing to measure"},
  };
  for (const Case& c : cases) {
    int32_t w = c.w, h = c.h;
    Measure(c.text, c.cell, &w, &h);
    EXPECT_EQ(w, c.wantw) << c.why;
    EXPECT_EQ(h, c.wanth) << c.why;
  }
  int32_t h = 0;
  Measure("AB", 16, nullptr, &h);  // no crash
}

// ---- Outline glyphs in a layout -------------------------------------------------

TEST_F(LayoutTest, OutlineGlyphsAreCopiedCellByCell) {
  UseFont(LEDVIEW_TEST_CJK_FONT);
  const std::string text = "A\xB0\xA1g";
  ASSERT_NE(Lay(24, text), nullptr);
  const BmpBlock* image = image_;
  // Collect the cells the layout asks for.
  std::string cells[3];
  int32_t widths[3];
  const uint16_t codes[3] = {'A', 0xA1B0, 'g'};
  for (int i = 0; i < 3; ++i) {
    const GlyphCell* cell = GetGlyph(24, codes[i], 1);
    widths[i] = static_cast<int32_t>(cell->width);
    cells[i] = Picture(cell->rows, cell->pitch, widths[i], 24);
  }
  EXPECT_EQ(widths[1], 24);
  EXPECT_EQ(image->width, widths[0] + widths[1] + widths[2]);
  EXPECT_EQ(image->height, 24);
  // Each cell's first width columns appear side by side.
  const std::string picture = Picture(image);
  const size_t row = image->width + 1;
  for (int32_t y = 0; y < 24; ++y) {
    const std::string line = picture.substr(y * row, image->width);
    int32_t x = 0;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(line.substr(x, widths[i]), cells[i].substr(y * (widths[i] + 1), widths[i]))
          << "glyph " << i << " row " << y;
      x += widths[i];
    }
  }
}

TEST_F(LayoutTest, OutlineDigitsAndLineGap) {
  UseFont(LEDVIEW_TEST_FONT);
  // DejaVu's '1' at 48 is 21 pixels of ink, +1 for being narrow: 22, so it
  // is centred in a 24-pixel slot, one pixel in.
  const uint32_t one = GetGlyph(48, '1', 0)->width;
  ASSERT_LT(one, 24u);
  ASSERT_NE(Lay(48, "11\n1"), nullptr);
  EXPECT_EQ(image_->width, 48);
  EXPECT_EQ(image_->height, 48 + 6 + 48);
  // The second line starts one line gap below the first cell.
  const GlyphCell* cell = GetGlyph(48, '1', 1);
  const std::string glyph = Picture(cell->rows, cell->pitch, static_cast<int32_t>(one), 48);
  const std::string picture = Picture(image_);
  const int32_t lead = static_cast<int32_t>((24 - one) >> 1);
  for (int32_t y = 0; y < 48; ++y) {
    const std::string g = glyph.substr(y * (one + 1), one);
    EXPECT_EQ(picture.substr(y * 49 + lead, one), g) << y;
    EXPECT_EQ(picture.substr(y * 49 + 24 + lead, one), g) << y;
    EXPECT_EQ(picture.substr((y + 54) * 49 + lead, one), g) << y;
  }
  for (int32_t y = 48; y < 54; ++y) EXPECT_EQ(picture.substr(y * 49, 49), std::string(48, '.') + "\n");
}

}  // namespace
}  // namespace ledview::test
