#include <gtest/gtest.h>

#include "content/fontface.h"

namespace ledview {
namespace {

TEST(FontFace, LoadsReplacesAndReleases) {
  ASSERT_EQ(LoadFontFace(LEDVIEW_TEST_FONT), 0);
  EXPECT_NE(fontstate.library, nullptr);
  ASSERT_NE(fontstate.face, nullptr);
  EXPECT_NE(fontstate.face->charmap, nullptr);  // a Unicode map is selected
  ReleaseFontFace();
  EXPECT_EQ(fontstate.face, nullptr);
  EXPECT_EQ(fontstate.library, nullptr);
  ReleaseFontFace();  // releasing nothing is harmless
}

TEST(FontFace, UnreadableFileLeavesNoFace) {
  EXPECT_EQ(LoadFontFace("/nonexistent.ttf"), -1);
  EXPECT_EQ(fontstate.face, nullptr);
  EXPECT_EQ(fontstate.library, nullptr);
  EXPECT_EQ(LoadFontFace(nullptr), -1);
}

}  // namespace
}  // namespace ledview
