// DrawText through the drawing slots, with the built-in fonts.
#include <gtest/gtest.h>

#include <string>

#include "content/fontdata/fontdata.h"
#include "display/drawops.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "support/engine_fixture.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::PictureAt;

// The 16 glyph rows of a built-in font as a picture, `ink` for set bits.
std::string Glyph(const uint8_t* rows, int width, char ink) {
  std::string s;
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < width; ++c) s += (rows[r * (width / 8) + c / 8] >> (7 - c % 8)) & 1 ? ink : '.';
    s += '\n';
  }
  return s;
}

class DrawTextTest : public test::EngineTest, public testing::WithParamInterface<int> {};

// Single- and double-byte glyphs side by side across the half boundary at
// row 32, a space of half a cell, a line feed; a lead byte without its trail
// byte ends the text, and nothing is read past len.
TEST_P(DrawTextTest, GlyphsSpacesLinesAndCutText) {
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(64, 48, GetParam()), 0);
  testing::internal::GetCapturedStdout();
  ClearFrameBuffer();
  const char ink = GetParam() == 1 ? '#' : '3';
  const uint8_t text[] = {'A', 0xB0, 0xA1, ' ', 'y', '\n', 'z', 0xB0, 0xA1};
  const DestRect at{3, 20, 60, 32};
  drawops.DrawText(16, text, 8, &at, 3);
  EXPECT_TRUE(PictureAt(3, 20, Glyph(AscFont + 'A' * 16, 8, ink)));
  EXPECT_TRUE(PictureAt(11, 20, Glyph(HzkFont + 1410 * 32, 16, ink)));
  EXPECT_TRUE(PictureAt(27, 20, Glyph(HzkFont, 8, '.')));  // blank
  EXPECT_TRUE(PictureAt(35, 20, Glyph(AscFont + 'y' * 16, 8, ink)));
  EXPECT_TRUE(PictureAt(3, 36, Glyph(AscFont + 'z' * 16, 8, ink)));
  EXPECT_TRUE(PictureAt(11, 36, Glyph(HzkFont, 16, '.')));
}

INSTANTIATE_TEST_SUITE_P(Layouts, DrawTextTest, testing::Values(1, 2, 4));

}  // namespace
}  // namespace ledview
