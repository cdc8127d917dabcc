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

using test::EngineTest;
using test::PictureAt;

// The glyph rows of the built-in fonts as a picture, `ink` for set bits.
std::string FontPicture(const uint8_t* rows, int pitch, int width, char ink) {
  std::string s;
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < width; ++c) s += (rows[r * pitch + c / 8] >> (7 - c % 8)) & 1 ? ink : '.';
    s += '\n';
  }
  return s;
}

class DrawTextTest : public EngineTest, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    testing::internal::CaptureStdout();
    ASSERT_EQ(InitLedConfigure(64, 48, GetParam()), 0);
    testing::internal::GetCapturedStdout();
    ClearFrameBuffer();  // set-up leaves the pixels of earlier tests
  }
  char Ink() const { return GetParam() == 1 ? '#' : '3'; }
};

TEST_P(DrawTextTest, SingleAndDoubleByteGlyphsSideBySide) {
  const uint8_t text[] = {'A', 0xB0, 0xA1, 0};  // "A" and the first level-1 hanzi
  const DestRect at{3, 20, 40, 16};  // across the band boundary at row 32
  drawops.DrawText(16, text, 3, &at, 3);
  EXPECT_TRUE(PictureAt(3, 20, FontPicture(AscFont + 'A' * 16, 1, 8, Ink())));
  EXPECT_TRUE(PictureAt(11, 20, FontPicture(HzkFont + 1410 * 32, 2, 16, Ink())));
}

TEST_P(DrawTextTest, LineFeedStartsANewLineAndSpacesTakeHalfACell) {
  const uint8_t text[] = {'x', ' ', 'y', '\n', 'z', 0};
  const DestRect at{0, 0, 64, 32};
  drawops.DrawText(16, text, 5, &at, 3);
  EXPECT_TRUE(PictureAt(0, 0, FontPicture(AscFont + 'x' * 16, 1, 8, Ink())));
  EXPECT_TRUE(PictureAt(16, 0, FontPicture(AscFont + 'y' * 16, 1, 8, Ink())));
  EXPECT_TRUE(PictureAt(0, 16, FontPicture(AscFont + 'z' * 16, 1, 8, Ink())));
}

TEST_P(DrawTextTest, CutTextAndTextAtTheEdgeStayInside) {
  // A lead byte with no trail byte ends the text; nothing is read past len.
  const uint8_t cut[] = {'A', 0xB0};
  const DestRect at{0, 0, 64, 16};
  drawops.DrawText(16, cut, 2, &at, 3);
  EXPECT_TRUE(PictureAt(0, 0, FontPicture(AscFont + 'A' * 16, 1, 8, Ink())));
  EXPECT_TRUE(PictureAt(8, 0, FontPicture(HzkFont + 15 * 94 * 32, 2, 16, '.')));  // blank
}

INSTANTIATE_TEST_SUITE_P(Layouts, DrawTextTest, testing::Values(1, 2, 4));

}  // namespace
}  // namespace ledview
