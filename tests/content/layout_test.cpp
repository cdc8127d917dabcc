// Text laid out into 1-bit images: pictures, line and wrap rules, bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>

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
  void TearDown() override {
    ArenaFree(image_);
    TextTest::TearDown();
  }
  BmpBlock* image_ = nullptr;
};

Pic G(uint16_t code) { return BuiltInGlyph(code); }

TEST_F(LayoutTest, BitmapCellsDigitsInHalfCellsSpacesTabsGb2312AndLineEnds) {
  // A, a digit, a half-cell space, B, 啊, the CP437 face at code 1.
  ASSERT_NE(Lay(16, "A1 B\xB0\xA1\x01", 0, 0, 5), nullptr);
  EXPECT_EQ(Picture(image_), Art(Beside(Beside(Beside(Beside(Beside(G('A'), G('1')), Dark(8, 16)), G('B')),
                                               G(0xA1B0)), G(1))));
  // At 24 pixels without a face digits and dots are centred in 12-pixel slots, a space and a tab
  // take 12, letters their own 8; the 16-row glyphs sit at the top of the cell.
  const Pic digits = Beside(Beside(Beside(Dark(2, 16), G('1')), Dark(4, 16)), Beside(G('.'), Dark(2, 16)));
  EXPECT_EQ(LaidOut(24, "1. \tA"), Art(Above(Beside(Beside(digits, Dark(24, 16)), G('A')), Dark(56, 8))));
  for (int32_t size : {15, 0, -5}) EXPECT_EQ(LaidOut(size, "A1"), Art(Beside(G('A'), G('1')))) << size;  // 16
  const std::string two = Art(Above(Beside(G('H'), G('i')), Beside(G('A'), Dark(8, 16))));
  for (const char* text : {"Hi\nA", "Hi\r\nA", "Hi\rA"}) EXPECT_EQ(LaidOut(16, text), two) << text;
  // At 30 pixels the wrap measurement puts a line feed one pixel below the
  // cell, the drawing a line gap (4) below: the second line is cut off.
  EXPECT_EQ(LaidOut(30, "A\nB", 40), Art(Above(Beside(G('A'), Dark(32, 16)), Dark(40, 14 + 1 + 30))));
}

TEST_F(LayoutTest, ImagesOfAGivenSizeClipWhatDoesNotFit) {
  // Given both sides nothing is measured: A, B and 啊 each take a line, and
  // the hanzi is cut at the 12-pixel edge.
  Pic ah = G(0xA1B0);
  for (std::string& row : ah) row.resize(12);
  ASSERT_NE(Lay(16, "AB\xB0\xA1", 12, 48, 7), nullptr);
  EXPECT_EQ(Picture(image_).substr(32 * 13), Art(ah));
  ASSERT_NE(Lay(16, "AB\nCD", 16, 20), nullptr);  // the second line is below the image
  EXPECT_EQ(Picture(image_), Art(Above(Beside(G('A'), G('B')), Dark(16, 4))));
  ASSERT_NE(Lay(16, "AB\nC", 0, 40), nullptr);  // height given, width measured
  EXPECT_EQ(image_->width, 16);
  // A 48-pixel outline cell is wider than a whole 4-byte row of a 20-pixel
  // image: it stays out of the rows below.
  UseFont(LEDVIEW_TEST_CJK_FONT);
  ASSERT_NE(Lay(48, "\xB0\xA1", 20, 54 + 48), nullptr);  // after the line start the glyph forced
  const std::string all = Picture(BmpBlockRows(image_), image_->pitch, 32, image_->height);
  ASSERT_NE(all.find('#'), std::string::npos);
  for (size_t at = all.find('#'); at != std::string::npos; at = all.find('#', at + 1)) {
    EXPECT_GE(at / 33, 54u) << at / 33 << ", " << at % 33;
    EXPECT_LT(at % 33, 20u) << at / 33 << ", " << at % 33;
  }
}

TEST_F(LayoutTest, TheWalkRefusalsOverflowsAndAnExhaustedArena) {
  const std::string ab = LaidOut(16, "AB");
  EXPECT_EQ(LaidOut(16, std::string("AB\0CD", 5)), ab);
  EXPECT_EQ(LaidOut(16, "AB\xB0"), ab);  // a lead byte without its trail is dropped
  ASSERT_NE(Lay(16, std::string("\xB0\0A", 3)), nullptr);  // a NUL trail byte: the character 0xB0
  EXPECT_EQ(image_->width, 8 + 8);
  const std::tuple<int32_t, const char*, int32_t, int32_t, int32_t> refused[] = {
      {16, nullptr, 4, 0, 0}, {16, "AB", 0, 0, 0}, {16, "AB", 2, -1, 0}, {16, "AB", 2, 0, -1},
      {16, "A", 1, 0x10000, 16} /* wider than 16 bits */, {0x7FFFFFFF, "AB\nCD", 5, 0, 0} /* sums overflow */,
      {0x7FFFFFFF, "AB", 2, 100, 0}};
  for (auto [size, text, length, w, h] : refused)
    EXPECT_EQ(GetStringBmp(size, text, length, 1, w, h), nullptr) << size << " " << length;
  EXPECT_EQ(Lay(16, std::string(9000, 'A')), nullptr);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
  // Room for the image of "AB" alone: the glyphs get no rows, are blank and still advance.
  void* reserve = ArenaAlloc(12 + 4 * 16);
  FillArena();
  EXPECT_EQ(Lay(16, "ABCDE"), nullptr);
  ArenaFree(reserve);
  EXPECT_EQ(LaidOut(16, "AB"), Art(Dark(16, 16)));
}

// Found by fuzzing: measuring rendered every glyph and drawing the lines below the image,
// so a long string at thousands of pixels kept the caller for tens of seconds.
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

// GetStringSize given a width (0 measures it): the rules the pictures above do not show.
TEST(StringSizeTest, MeasurementRules) {
  struct Case { const char* text; int32_t cell, w, wantw, wanth; };
  const Case cases[] = {
      {"AB\r\nC", 30, 0, 16, 64},                    // from 25 pixels on lines are 14 % apart: 30 + 4 + 30
      {"A\nB", 24, 0, 8, 48},                        // below 25 no gap
      {"AAA AAA", 16, 30, 30, 32},                  // a space that reaches the edge ends the line
      {"AAAAAAA", 16, 30, 30, 48},                  // new lines start a cell in
      {"\xB0\xA1\xB0\xA1", 16, 10, 10, 16},         // a glyph wider than the whole width never wraps
      {"AAAAA", 30, 30, 30, 2 * (30 + 4) + 30},     // a pen at the width after a restart wraps again
  };
  for (const Case& c : cases) {
    int32_t w = c.w, h = 0;
    GetStringSize(c.text, static_cast<int32_t>(std::string(c.text).size()), c.cell, &w, &h);
    EXPECT_EQ(w, c.wantw) << c.text;
    EXPECT_EQ(h, c.wanth) << c.text;
  }
}

}  // namespace
}  // namespace ledview::test
