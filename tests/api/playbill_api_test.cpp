// The whole road through the exported functions: a playbill in, ticks, and
// pictures drawn by renderers out in the host's buffer.
#include <gtest/gtest.h>

#include <vector>

#include "api/engine.h"
#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "playbill/format.h"
#include "playbill/loader.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::EngineTest;

// Paints its rectangle in the colour stored at payload byte 4 whenever it is
// asked to run, and hands over after two action ticks.
int32_t PaintingRenderer(ElementNode* e, DestRect* rect) {
  if (rect == nullptr || !(e->flags & 1)) return 0;
  e->flags = 0;
  const uint8_t colour = e->payload[4];
  for (uint32_t y = rect->y; y < uint32_t{rect->y} + rect->height; ++y) {
    for (uint32_t x = rect->x; x < uint32_t{rect->x} + rect->width; ++x) {
      *PixelAddress(x, y, ledconfig.depth) = colour;
    }
  }
  return -2;
}

class EndToEndTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    saved_ = normalrenderers[4];
  }
  void TearDown() override {
    ReleasePreview();
    normalrenderers[4] = saved_;
  }

 private:
  ElementRenderer saved_ = nullptr;
};

TEST_F(EndToEndTest, RenderersDrawAndTheHostSeesIt) {
  normalrenderers[4] = PaintingRenderer;
  std::vector<uint8_t> picture(16 * 8, 0xEE);
  ASSERT_EQ(InitLedConfigure(16, 8, 2), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  ASSERT_EQ(SetBmpBuffer(16, 8, 16, picture.data()), 0);

  Bill bill;
  test::Component& c = bill.AddPage().AddArea(4, 2, 8, 4).AddComponent(1, 1, 3, 2);
  c.AddElement(4, test::ClockPayload(2, 0, 0, 0, 0));  // colour 2 after adaptation
  c.AddElement(4, test::ClockPayload(3, 0, 0, 0, 0));
  const std::vector<uint8_t> bytes = bill.Bytes();
  ASSERT_EQ(TestPlayBillData(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
  ASSERT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);

  RefreshBuffer();  // nothing pending: the cleared picture is copied
  for (uint8_t b : picture) ASSERT_EQ(b, 0);

  NotifySecond();
  RefreshBuffer();
  auto at = [&](int x, int y) { return picture[static_cast<size_t>(y) * 16 + x]; };
  EXPECT_EQ(at(5, 3), 2);
  EXPECT_EQ(at(7, 4), 2);
  EXPECT_EQ(at(8, 4), 0);
  EXPECT_EQ(at(4, 3), 0);

  NotifyActtion();
  NotifyActtion();  // the first element's two ticks
  RefreshBuffer();
  EXPECT_EQ(at(5, 3), 3);
  EXPECT_EQ(at(7, 4), 3);

  EXPECT_EQ(UpdateString(1, "abc", 3), 1);
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(UpdateString(1, "abc", 3), -1);
  for (uint8_t b : picture) ASSERT_EQ(b, 0);
}

TEST_F(EndToEndTest, EndPreviewClearsThePictureRowsAndKeepsThePadding) {
  normalrenderers[4] = PaintingRenderer;
  constexpr int32_t kWidth = 13, kHeight = 6, kPitch = 16;
  std::vector<uint8_t> picture(kPitch * kHeight, 0xEE);
  ASSERT_EQ(InitLedConfigure(16, 8, 2), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  ASSERT_EQ(SetBmpBuffer(kWidth, kHeight, kPitch, picture.data()), 0);
  Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 16, 8).AddElement(
      4, test::ClockPayload(3, 0, 0, 0, 0));
  const std::vector<uint8_t> bytes = bill.Bytes();
  ASSERT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
  NotifySecond();
  RefreshBuffer();
  ASSERT_EQ(picture[(kHeight - 1) * kPitch + kWidth - 1], 3);  // the last LED is lit
  EXPECT_EQ(EndPreview(), 0);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kPitch; ++x) {
      ASSERT_EQ(picture[y * kPitch + x], x < kWidth ? 0 : 0xEE) << "x " << x << " y " << y;
    }
  }
}

TEST_F(EndToEndTest, TestPlayBillDataPrintsItsFinding) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 16, 8).AddElement(
      4, test::ClockPayload(1, 1, 1, 1, 1));
  std::vector<uint8_t> bytes = bill.Bytes();
  ASSERT_EQ(InitLedConfigure(16, 8, 4), 0);
  test::PutU32(bytes, 68 + 20, 1000);
  testing::internal::CaptureStdout();
  EXPECT_EQ(TestPlayBillData(bytes.data(), static_cast<int32_t>(bytes.size())), 15);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "vsobjsize = 1000 error!\n");
  // It looks at no engine state: the same answer in any state.
  ReleasePreview();
  testing::internal::CaptureStdout();
  EXPECT_EQ(TestPlayBillData(bytes.data(), static_cast<int32_t>(bytes.size())), 15);
  testing::internal::GetCapturedStdout();
}

}  // namespace
}  // namespace ledview
