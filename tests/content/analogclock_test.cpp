// The analog clock: sine table, hand geometry, the face at fixed times, when
// it draws, where it draws and in which colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "content/analogclock.h"
#include "display/framebuffer.h"
#include "graphics/graphics.h"
#include "graphics/sine.h"
#include "ledview.h"
#include "platform/platform.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"
#include "support/localtime.h"
#include "support/picture.h"
#include "support/text_play.h"

namespace ledview {
namespace {

using test::NormalisePicture;
using test::PictureAt;
using test::ReadPicture;

using test::LocalSeconds;

TEST(SineTable, HoldsTruncatedQ14SinesWithTheControllersSecondEntry) {
  EXPECT_EQ(SineTable[0], 0);
  EXPECT_EQ(SineTable[1], 286);
  EXPECT_EQ(SineTable[30], 8191);
  EXPECT_EQ(SineTable[90], 16384);
  for (int k = 2; k <= 90; ++k) {
    const auto expected = static_cast<int>(std::sin(k * M_PI / 180.0) * 16384.0);
    EXPECT_EQ(SineTable[k], expected) << "degree " << k;
  }
}

std::string Point(GfxPoint p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

TEST(ClockGeometry, HandTipsFollowTheQuadrants) {
  EXPECT_EQ(Point(HandTip(100, 0)), "(0,-100)");
  EXPECT_EQ(Point(HandTip(100, 30)), "(49,-86)");
  EXPECT_EQ(Point(HandTip(100, 105)), "(96,25)");
  EXPECT_EQ(Point(HandTip(100, 180)), "(0,100)");
  EXPECT_EQ(Point(HandTip(100, 225)), "(-70,70)");
  EXPECT_EQ(Point(HandTip(100, 315)), "(-70,-70)");
  EXPECT_EQ(Point(HandTip(100, 360)), "(0,-100)");  // a leap second's angle
  // Products are shifted before they are negated.
  EXPECT_EQ(Point(HandTip(3, 200)), "(-1,2)");
  // A face too small for its hands gives them a negative length.
  EXPECT_EQ(Point(HandTip(-2, 0)), "(0,2)");
}

TEST(ClockGeometry, HandIsAKiteWithAShortTail) {
  GfxPoint p[4];
  MakeHandPolygon(20, 0, 3, p);
  EXPECT_EQ(Point(p[0]) + Point(p[1]) + Point(p[2]) + Point(p[3]), "(0,-20)(3,0)(0,5)(-3,0)");
  MakeHandPolygon(20, 90, 3, p);
  EXPECT_EQ(Point(p[0]) + Point(p[1]) + Point(p[2]) + Point(p[3]), "(20,0)(0,3)(-5,0)(0,-3)");
  MakeHandPolygon(20, 200, 3, p);
  EXPECT_EQ(Point(p[0]) + Point(p[1]) + Point(p[2]) + Point(p[3]), "(-6,18)(-2,-1)(2,-4)(2,1)");
  // The tail is a quarter of the tip, rounded toward minus infinity first.
  MakeHandPolygon(5, 0, 1, p);
  EXPECT_EQ(Point(p[2]), "(0,2)");
}

// Main marks 1, other marks 2, hour hand 3 (half-width 2), minute hand 4
// (half-width 1), second hand 5.
std::vector<uint8_t> FivePayload() { return test::ClockPayload(1, 2, 3, 4, 5); }

// A 20 x 20 face: radius 8, centre (10, 10).
constexpr const char* kFace0330 = R"(
    ....................
    ..........1.........
    .........111........
    ..........1.........
    .......22.5..22.....
    .......22.5..22.....
    ..........5.....22..
    ...22.....5.....22..
    ...22.....5.........
    ..1.......5.......1.
    .111.....453.....111
    ..1......44.......1.
    .........44.........
    ...22...........22..
    ...22...........22..
    ....................
    ......22.....22.....
    ......22..1..22.....
    .........111........
    ..........1.........)";

constexpr const char* kFace1200 = R"(
    ....................
    ..........1.........
    .........111........
    ..........1.........
    .......22.5..22.....
    .......22.5..22.....
    ..........5.....22..
    ...22.....5.....22..
    ...22....45.........
    ..1......45.......1.
    .111....3453.....111
    ..1...............1.
    ....................
    ...22...........22..
    ...22...........22..
    ....................
    ......22.....22.....
    ......22..1..22.....
    .........111........
    ..........1.........)";

class ClockFaceTest : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
    ClearFrameBuffer();
    payload = FivePayload();
  }
  void TearDown() override {
    ClockUseReal();
    refreshflags = 0;
    EngineTest::TearDown();
  }

  // Nothing lit outside r.
  bool OnlyInside(DestRect r) {
    for (uint32_t y = 0; y < 32; ++y) {
      for (uint32_t x = 0; x < 64; ++x) {
        const bool inside = x >= r.x && x < uint32_t{r.x} + r.width && y >= r.y &&
                            y < uint32_t{r.y} + r.height;
        if (!inside && *PixelAddress(x, y, 4) != 0) return false;
      }
    }
    return true;
  }

  std::vector<uint8_t> payload;
};

TEST_F(ClockFaceTest, HalfPastThree) {
  DrawClockFace(payload.data(), DestRect{0, 0, 20, 20}, 3, 30, 0);
  EXPECT_TRUE(PictureAt(0, 0, kFace0330));
}

TEST_F(ClockFaceTest, NoonAndTheLeapSecond) {
  DrawClockFace(payload.data(), DestRect{0, 0, 20, 20}, 12, 0, 0);
  EXPECT_TRUE(PictureAt(0, 0, kFace1200));
  ClearFrameBuffer();
  DrawClockFace(payload.data(), DestRect{0, 0, 20, 20}, 12, 0, 60);
  EXPECT_TRUE(PictureAt(0, 0, kFace1200));
  ClearFrameBuffer();
  DrawClockFace(payload.data(), DestRect{0, 0, 20, 20}, 12, 0, 30);
  EXPECT_EQ(*PixelAddress(10, 16, 4), 5);  // second hand straight down
  EXPECT_EQ(*PixelAddress(10, 5, 4), 0);
}

TEST_F(ClockFaceTest, FaceSitsInTheTopLeftSquare) {
  DrawClockFace(payload.data(), DestRect{0, 0, 40, 20}, 3, 30, 0);  // wide
  EXPECT_TRUE(PictureAt(0, 0, kFace0330));
  EXPECT_TRUE(OnlyInside(DestRect{0, 0, 20, 20}));
  ClearFrameBuffer();
  DrawClockFace(payload.data(), DestRect{0, 0, 20, 30}, 3, 30, 0);  // tall
  EXPECT_TRUE(PictureAt(0, 0, kFace0330));
  EXPECT_TRUE(OnlyInside(DestRect{0, 0, 20, 20}));
  ClearFrameBuffer();
  DrawClockFace(payload.data(), DestRect{30, 10, 20, 20}, 3, 30, 0);  // moved
  EXPECT_TRUE(PictureAt(30, 10, kFace0330));
}

TEST_F(ClockFaceTest, SmallestFaceHasRadiusThree) {
  DrawClockFace(payload.data(), DestRect{30, 10, 10, 10}, 12, 0, 0);
  // Centre (35, 15): the 12 o'clock plus sign three rows up.
  EXPECT_EQ(*PixelAddress(35, 11, 4), 1);
  EXPECT_EQ(*PixelAddress(34, 12, 4), 1);
  EXPECT_EQ(*PixelAddress(36, 12, 4), 1);
  EXPECT_EQ(*PixelAddress(38, 15, 4), 1);  // 3 o'clock
  EXPECT_TRUE(OnlyInside(DestRect{30, 10, 10, 10}));
  ClearFrameBuffer();
  DrawClockFace(payload.data(), DestRect{30, 10, 9, 40}, 12, 0, 0);
  DrawClockFace(payload.data(), DestRect{30, 0, 40, 9}, 12, 0, 0);
  EXPECT_TRUE(OnlyInside(DestRect{0, 0, 0, 0}));
}

TEST_F(ClockFaceTest, WideHandsStayInsideTheComponent) {
  payload = test::ClockPayload(1, 2, 3, 4, 5);
  payload[24] = 0xFF;  // hour hand half-width 65535
  payload[25] = 0xFF;
  payload[26] = 0x00;  // minute hand half-width 4096
  payload[27] = 0x10;
  for (int32_t hour = 0; hour < 12; ++hour) {
    DrawClockFace(payload.data(), DestRect{20, 5, 20, 20}, hour, hour * 5 + 2, 7);
  }
  EXPECT_TRUE(OnlyInside(DestRect{20, 5, 20, 20}));
  int32_t hands = 0;
  for (uint32_t y = 5; y < 25; ++y) {
    for (uint32_t x = 20; x < 40; ++x) hands += *PixelAddress(x, y, 4) == 3 || *PixelAddress(x, y, 4) == 4;
  }
  EXPECT_GT(hands, 40);  // broad bands across the face, cut at its edges
}

TEST_F(ClockFaceTest, NothingWithoutAGraphicsContext) {
  GraphicsContext* saved = graphicscontext;
  graphicscontext = nullptr;
  DrawClockFace(payload.data(), DestRect{0, 0, 20, 20}, 3, 30, 0);
  graphicscontext = saved;
  EXPECT_TRUE(OnlyInside(DestRect{0, 0, 0, 0}));
}

TEST_F(ClockFaceTest, RendererDrawsOnItsRequestOrTheSecondAndReadsTheLocalTime) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 30, 0));
  ElementNode e{};
  e.payload = payload.data();
  DestRect rect{0, 0, 20, 20};
  refreshflags = 0;
  EXPECT_EQ(RenderAnalogClock(&e, &rect), 0);  // no reason to draw
  EXPECT_TRUE(OnlyInside(DestRect{0, 0, 0, 0}));

  e.flags = 1;
  EXPECT_EQ(RenderAnalogClock(&e, &rect), 0);
  EXPECT_EQ(e.flags, 0u);
  EXPECT_TRUE(PictureAt(0, 0, kFace0330));

  ClearFrameBuffer();
  ClockSimulate(LocalSeconds(2024, 5, 6, 12, 0, 0));
  refreshflags = kRefreshSecond;
  EXPECT_EQ(RenderAnalogClock(&e, &rect), 0);
  EXPECT_TRUE(PictureAt(0, 0, kFace1200));

  EXPECT_EQ(RenderAnalogClock(&e, nullptr), 0);  // release: nothing to drop
  DestRect narrow{0, 0, 9, 40};
  ClearFrameBuffer();
  EXPECT_EQ(RenderAnalogClock(&e, &narrow), 0);
  EXPECT_TRUE(OnlyInside(DestRect{0, 0, 0, 0}));
}

// The clock played through the exported functions in each colour mode; the
// loader adapts the stored colours first.
class ClockPlayTest : public test::TextPlayTest, public testing::WithParamInterface<int> {};

TEST_P(ClockPlayTest, HandsInTheColoursTheModeCanShow) {
  const int mode = GetParam();
  Start(24, 20, mode, LEDVIEW_TEST_FONT, LocalSeconds(2024, 5, 6, 3, 30, 0));
  test::Bill bill;
  bill.AddPage().AddArea(2, 0, 22, 20).AddComponent(0, 0, 22, 20).AddElement(
      4, test::ClockPayload(4, 6, 5, 7, 3));
  ASSERT_EQ(Play(bill), 0);
  Second();
  // Colour mode 4 keeps the colours, 2 keeps their low bits (0 becomes 1),
  // 1 lights everything.
  const std::string colours = mode == 4 ? "46573" : mode == 2 ? "12133" : "#####";
  std::string face = NormalisePicture(kFace0330);
  for (char& c : face) {
    if (c >= '1' && c <= '5') c = colours[c - '1'];
  }
  EXPECT_TRUE(HostShows(2, 0, face));
  EXPECT_TRUE(HostDark(0, 0, 2, 20));
  EXPECT_TRUE(HostDark(22, 0, 2, 20));
}
INSTANTIATE_TEST_SUITE_P(Modes, ClockPlayTest, testing::Values(1, 2, 4));

}  // namespace
}  // namespace ledview
