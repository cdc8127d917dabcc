#include <gtest/gtest.h>

#include <cstring>

#include "content/fontdata/fontdata.h"
#include "content/glyph.h"
#include "ledview.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::EngineTest;

class GlyphTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    testing::internal::CaptureStdout();
    const int32_t rc = InitLedConfigure(64, 32, 1);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 0);
  }
};

TEST_F(GlyphTest, SingleByteGlyphsComeFromTheEightPixelFont) {
  const GlyphCell* cell = GetGlyph(24, 'A', 1);
  EXPECT_EQ(cell->width, 8u);
  EXPECT_EQ(cell->height, 16u);
  EXPECT_EQ(cell->pitch, 1u);
  ASSERT_NE(cell->rows, nullptr);
  EXPECT_EQ(std::memcmp(cell->rows, AscFont + 'A' * 16, 16), 0);
}

TEST_F(GlyphTest, DoubleByteGlyphsComeFromTheGrid) {
  // Bytes 0xB0 0xA1: glyph 15 * 94 + 0.
  const GlyphCell* cell = GetGlyph(16, 0xA1B0, 1);
  EXPECT_EQ(cell->width, 16u);
  EXPECT_EQ(cell->height, 16u);
  EXPECT_EQ(cell->pitch, 2u);
  ASSERT_NE(cell->rows, nullptr);
  EXPECT_EQ(std::memcmp(cell->rows, HzkFont + 1410 * 32, 32), 0);
}

TEST_F(GlyphTest, CodesOutsideTheGridAreBlank) {
  for (uint16_t code : {0xA1FF, 0x20B0, 0x00FF}) {
    const GlyphCell* cell = GetGlyph(16, code, 1);
    EXPECT_EQ(cell->width, 16u) << code;
    ASSERT_NE(cell->rows, nullptr);
    const uint8_t blank[32] = {};
    EXPECT_EQ(std::memcmp(cell->rows, blank, 32), 0) << code;
  }
}

TEST_F(GlyphTest, MetricsOnlyWithoutRender) {
  GetGlyph(16, 'x', 1);
  const GlyphCell* cell = GetGlyph(16, 0xA1B0, 0);
  EXPECT_EQ(cell->width, 16u);
  EXPECT_EQ(cell->rows, nullptr);
}

// Each call gives back the previous call's rows: far more calls than the
// arena has room for blocks still all get their rows.
TEST_F(GlyphTest, EachCallFreesThePreviousRows) {
  for (int i = 0; i < 200000; ++i) {
    ASSERT_NE(GetGlyph(16, static_cast<uint16_t>('a' + i % 26), 1)->rows, nullptr) << i;
  }
}

// The rows of the last glyph die with the engine's arena; a new engine must
// not give them back to its own.
TEST_F(GlyphTest, ANewEngineForgetsTheOldRows) {
  GetGlyph(16, 'A', 1);
  ReleasePreview();
  testing::internal::CaptureStdout();
  ASSERT_EQ(InitLedConfigure(64, 32, 2), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_NE(GetGlyph(16, 'B', 1)->rows, nullptr);
}

}  // namespace
}  // namespace ledview
