// Text laid out into 1-bit images: pictures of the bitmap font path, the
// line and wrap rules, and the bounds cases. That the image agrees with the
// measurement, stays inside its width and leaks nothing is the layout fuzz
// target's to check.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "support/text_fixture.h"

namespace ledview::test {
namespace {

class LayoutTest : public TextTest {
 protected:
  // Lays text out and keeps the image until the next call or the test's end.
  const BmpBlock* Lay(int32_t size, const std::string& text, int32_t width = 0, int32_t height = 0,
                      uint32_t format = 1) {
    ArenaFree(image_);
    image_ = GetStringBmp(size, text.data(), static_cast<int32_t>(text.size()), format, width, height);
    return image_;
  }
  std::string LaidOut(int32_t size, const std::string& text, int32_t width = 0, int32_t height = 0) {
    return Lay(size, text, width, height) == nullptr ? "null" : Picture(image_);
  }
  // One character per band of `rows` rows starting every `step` rows: '#'
  // when the band holds ink from column `from` to the end of the pitch.
  std::string Bands(int32_t step, int32_t rows, int32_t from = 0) const {
    std::string s;
    for (int32_t top = 0; top < image_->height; top += step) {
      bool ink = false;
      for (int32_t y = top; y < top + rows && y < image_->height; ++y)
        for (int32_t x = from; x < static_cast<int32_t>(image_->pitch * 8); ++x)
          ink |= BitAt(BmpBlockRows(image_), image_->pitch, x, y);
      s += ink ? '#' : '.';
    }
    return s;
  }
  void TearDown() override {
    ArenaFree(image_);
    TextTest::TearDown();
  }
  BmpBlock* image_ = nullptr;
};

Pic G(uint16_t code) { return BuiltInGlyph(code); }

TEST_F(LayoutTest, BitmapCellsDigitsInHalfCellsSpacesTabsAndGb2312) {
  // A, a digit, a half-cell space, B, 啊, the CP437 face at code 1.
  ASSERT_NE(Lay(16, "A1 B\xB0\xA1\x01", 0, 0, 5), nullptr);
  EXPECT_EQ(image_->format, 5u);
  EXPECT_EQ(image_->pitch, 8u);
  EXPECT_EQ(Picture(image_), Art(Beside(Beside(Beside(Beside(Beside(G('A'), G('1')), Dark(8, 16)), G('B')),
                                               G(0xA1B0)), G(1))));
  // At 24 pixels without a face: digits and dots are centred in 12-pixel
  // slots, a space and a tab take 12, letters their own 8; the 16-row glyphs
  // sit at the top of the cell.
  const Pic digits = Beside(Beside(Beside(Dark(2, 16), G('1')), Dark(4, 16)), Beside(G('.'), Dark(2, 16)));
  EXPECT_EQ(LaidOut(24, "1. \tA"), Art(Above(Beside(Beside(digits, Dark(24, 16)), G('A')), Dark(56, 8))));
  // Sizes below 16 are 16.
  for (int32_t size : {15, 0, -5}) EXPECT_EQ(LaidOut(size, "A1"), Art(Beside(G('A'), G('1')))) << size;
  ASSERT_NE(Lay(16, "  "), nullptr);
  EXPECT_EQ(image_->height, 0);  // no line holds a glyph
}

TEST_F(LayoutTest, LineEndsAndWrapping) {
  const std::string two = Art(Above(Beside(G('H'), G('i')), Beside(G('A'), Dark(8, 16))));
  for (const char* text : {"Hi\nA", "Hi\r\nA", "Hi\rA"}) EXPECT_EQ(LaidOut(16, text), two) << text;
  // CR LF is one line end; CR CR and LF CR are two.
  ASSERT_NE(Lay(16, "A\r\n\r\nB\n\rC"), nullptr);
  EXPECT_EQ(Bands(16, 16), "#.#.#");
  // The space that does not fit ends the line; C moves down rather than
  // cross the edge.
  EXPECT_EQ(LaidOut(16, "AB CD", 20), Art(Above(Beside(Beside(G('A'), G('B')), Dark(4, 16)),
                                               Beside(Beside(G('C'), G('D')), Dark(4, 16)))));
  // At 30 pixels the wrap measurement puts a line feed one pixel below the
  // cell, the drawing a line gap (4) below: the second line is cut off.
  ASSERT_NE(Lay(30, "A\nB", 40), nullptr);
  EXPECT_EQ(image_->height, 30 + 1 + 30);
  EXPECT_EQ(Bands(30, 30), "#..");
}

TEST_F(LayoutTest, ImagesOfAGivenSizeClipWhatDoesNotFit) {
  // Given both sides nothing is measured: A, B and 啊 each take a line, and
  // the hanzi is cut at the 12-pixel edge.
  Pic ah = G(0xA1B0);
  for (std::string& row : ah) row.resize(12);
  ASSERT_NE(Lay(16, "AB\xB0\xA1", 12, 48, 7), nullptr);
  EXPECT_EQ(image_->pitch, 4u);
  EXPECT_EQ(image_->format, 7u);
  EXPECT_EQ(Picture(image_).substr(32 * 13), Art(ah));
  EXPECT_EQ(Bands(16, 16, 12), "...");  // nothing in the row padding
  ASSERT_NE(Lay(16, "AB\nCD", 16, 20), nullptr);  // the second line is below the image
  EXPECT_EQ(Picture(image_), Art(Above(Beside(G('A'), G('B')), Dark(16, 4))));
  ASSERT_NE(Lay(16, "AB\nC", 0, 40), nullptr);  // height given, width measured
  EXPECT_EQ(image_->width, 16);
  // A 48-pixel outline cell is wider than a whole 4-byte row of a 20-pixel
  // image: it stays out of the rows below.
  UseFont(LEDVIEW_TEST_CJK_FONT);
  ASSERT_NE(Lay(48, "\xB0\xA1", 20, 54 + 48), nullptr);
  EXPECT_EQ(image_->pitch, 4u);
  EXPECT_EQ(Bands(54, 48), ".#");  // after the line start the glyph forced
  EXPECT_EQ(Bands(54, 48, 20), "..");
}

TEST_F(LayoutTest, TheWalkStopsAtNulLengthAndADanglingLeadByte) {
  const std::string ab = LaidOut(16, "AB");
  EXPECT_EQ(LaidOut(16, std::string("AB\0CD", 5)), ab);
  EXPECT_EQ(LaidOut(16, "AB\xB0"), ab);  // a lead byte without its trail is dropped
  ArenaFree(image_);
  image_ = GetStringBmp(16, "ABCD", 2, 1, 0, 0);
  ASSERT_NE(image_, nullptr);
  EXPECT_EQ(Picture(image_), ab);
  // A NUL trail byte belongs to the character (code 0xB0); it does not end
  // the text.
  ASSERT_NE(Lay(16, std::string("\xB0\0A", 3)), nullptr);
  EXPECT_EQ(image_->width, 8 + 8);
}

TEST_F(LayoutTest, RefusalsOverflowsAndAnExhaustedArena) {
  const std::tuple<int32_t, const char*, int32_t, int32_t, int32_t> refused[] = {
      {16, nullptr, 4, 0, 0}, {16, "AB", 0, 0, 0}, {16, "AB", -1, 0, 0}, {16, "AB", 2, -1, 0}, {16, "AB", 2, 0, -1},
      {16, "A", 1, 0x10000, 16} /* wider than 16 bits */, {0x7FFFFFFF, "AB\nCD", 5, 0, 0} /* sums that overflow */,
      {0x7FFFFFFF, "AB", 2, 100, 0}};
  for (auto [size, text, length, w, h] : refused) EXPECT_EQ(GetStringBmp(size, text, length, 1, w, h), nullptr) << length;
  EXPECT_EQ(Lay(16, std::string(9000, 'A')), nullptr);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
  // Room for the image of "AB" alone: the glyphs get no rows, are drawn
  // blank and still advance.
  void* reserve = ArenaAlloc(12 + 4 * 16);
  for (size_t n = 1 << 20; n > 0; n >>= 1)
    while (ArenaAlloc(n) != nullptr) {
    }
  EXPECT_EQ(Lay(16, "ABCDE"), nullptr);
  ArenaFree(reserve);
  EXPECT_EQ(LaidOut(16, "AB"), Art(Dark(16, 16)));
}

// Found by fuzzing: measuring rendered every glyph and drawing rendered the
// lines below the image, so a long string at thousands of pixels kept the
// caller for tens of seconds.
TEST_F(LayoutTest, HugeSizesAreMeasuredWithoutRasterWorkAndCutAtTheBottom) {
  UseFont(LEDVIEW_TEST_FONT);
  const std::string text(200, '&');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Lay(3587, text), nullptr);  // one line far wider than 65535
  // Wrapped at 16: one line a cell tall; drawing moves each glyph below it.
  EXPECT_EQ(LaidOut(3587, text, 16), Art(Dark(16, 3587)));
  // Room for one line: the rest is not drawn.
  const std::string all = LaidOut(2000, text, 2100, 2100);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(LaidOut(2000, "&", 2100, 2100), all);
  EXPECT_NE(all.find('#'), std::string::npos);
}

// GetStringSize from the given width and height (0 asks for a measurement).
TEST(StringSizeTest, MeasurementRules) {
  struct Case {
    const char* text;
    int32_t cell, w, h, wantw, wanth;
    const char* why;
  };
  const Case cases[] = {
      {"AB\nCDE", 16, 0, 0, 24, 32, "the widest line"},
      {"AB\r\nC", 30, 0, 0, 16, 64, "from 25 pixels on lines are 14 % apart: 30 + 4 + 30"},
      {"A\nB", 24, 0, 0, 8, 48, "below 25 no gap"},
      {"12.5", 30, 0, 0, 60, 30, "digits are widened to half a cell"},
      {"AB\nCD", 16, 100, 0, 100, 33, "wrapping: a line feed adds one cell and one pixel"},
      {"AAA AAA", 16, 30, 0, 30, 32, "a space that reaches the edge ends the line"},
      {"AAAAAAA", 16, 30, 0, 30, 48, "new lines start a cell in"},
      {"\xB0\xA1\xB0\xA1", 16, 10, 0, 10, 16, "a glyph wider than the whole width never wraps"},
      {"AAAAAAA", 30, 50, 0, 50, 30 + 4 + 30, "wrapped lines are a line gap apart from 25 pixels on"},
      {"AAAAA", 30, 30, 0, 30, 2 * (30 + 4) + 30, "a pen at the width after a restart wraps again"},
  };
  for (const Case& c : cases) {
    int32_t w = c.w, h = c.h;
    GetStringSize(c.text, static_cast<int32_t>(std::string(c.text).size()), c.cell, &w, &h);
    EXPECT_EQ(w, c.wantw) << c.why;
    EXPECT_EQ(h, c.wanth) << c.why;
  }
}

}  // namespace
}  // namespace ledview::test
