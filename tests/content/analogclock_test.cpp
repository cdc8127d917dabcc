// The analog clock: hand geometry, the face at fixed times, when it draws,
// where it draws and in which colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/analogclock.h"
#include "display/framebuffer.h"
#include "graphics/graphics.h"
#include "graphics/sine.h"
#include "ledview.h"
#include "platform/platform.h"
#include "playbill/scheduler.h"
#include "support/picture.h"
#include "support/text_play.h"
#include "support/timestrips.h"

namespace ledview::test {
namespace {

std::string Point(GfxPoint p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

TEST(ClockGeometry, SinesHandTipsAndKites) {
  // Truncated Q14 sines, with the controller's own second entry.
  EXPECT_EQ(SineTable[1], 286);
  EXPECT_EQ(SineTable[30], 8191);
  EXPECT_EQ(SineTable[90], 16384);
  const std::pair<int32_t, int32_t> tips[] = {{100, 0}, {100, 30}, {100, 105}, {100, 180}, {100, 225},
                                              {100, 315}, {100, 360}, {3, 200}, {-2, 0}};
  std::string got;
  for (auto [length, angle] : tips) got += Point(HandTip(length, angle));
  // 360 is a leap second's angle; products are shifted before they are
  // negated; a face too small for its hands gives them a negative length.
  EXPECT_EQ(got, "(0,-100)(49,-86)(96,25)(0,100)(-70,70)(-70,-70)(0,-100)(-1,2)(0,2)");
  GfxPoint p[4];
  MakeHandPolygon(20, 200, 3, p);
  EXPECT_EQ(Point(p[0]) + Point(p[1]) + Point(p[2]) + Point(p[3]), "(-6,18)(-2,-1)(2,-4)(2,1)");
  MakeHandPolygon(5, 0, 1, p);  // the tail is a quarter of the tip, rounded down first
  EXPECT_EQ(Point(p[0]) + Point(p[1]) + Point(p[2]) + Point(p[3]), "(0,-5)(1,0)(0,2)(-1,0)");
}

// Main marks 1, other marks 2, hour hand 3 (half-width 2), minute hand 4
// (half-width 1), second hand 5; a 20 x 20 face, radius 8, centre (10, 10).
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

class ClockFaceTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  }
  void TearDown() override {
    ClockUseReal();
    refreshflags = 0;
    EngineTest::TearDown();
  }
  // The face drawn on a cleared screen, and nothing lit outside `inside`.
  std::string Face(DestRect r, int32_t h, int32_t m, int32_t s, DestRect inside, int32_t x = 0, int32_t y = 0) {
    ClearFrameBuffer();
    DrawClockFace(payload.data(), r, h, m, s);
    for (uint32_t py = 0; py < 32; ++py)
      for (uint32_t px = 0; px < 64; ++px) {
        const bool in = px >= inside.x && px < inside.x + inside.width && py >= inside.y && py < inside.y + inside.height;
        EXPECT_TRUE(in || *PixelAddress(px, py, 4) == 0) << px << "," << py;
      }
    return ReadPicture(x, y, 20, 20);
  }
  std::vector<uint8_t> payload = ClockPayload(1, 2, 3, 4, 5);
};

TEST_F(ClockFaceTest, TheFaceSitsInTheTopLeftSquareOfItsRectangle) {
  const DestRect square{0, 0, 20, 20};
  const std::string face = Face(square, 3, 30, 0, square);
  EXPECT_EQ(face, NormalisePicture(kFace0330));
  EXPECT_EQ(Face(DestRect{0, 0, 40, 20}, 3, 30, 0, square), face);  // wide
  EXPECT_EQ(Face(DestRect{0, 0, 20, 30}, 3, 30, 0, square), face);  // tall
  EXPECT_EQ(Face(DestRect{30, 10, 20, 20}, 3, 30, 0, DestRect{30, 10, 20, 20}, 30, 10), face);
  // A leap second draws like second 0; at second 30 the hand points down.
  EXPECT_EQ(Face(square, 12, 0, 60, square), Face(square, 12, 0, 0, square));
  Face(square, 12, 0, 30, square);
  EXPECT_EQ(*PixelAddress(10, 16, 4), 5);
  EXPECT_EQ(*PixelAddress(10, 5, 4), 0);
}

TEST_F(ClockFaceTest, SmallFacesWideHandsAndNoGraphicsContextStayInside) {
  const DestRect ten{30, 10, 10, 10};
  Face(ten, 12, 0, 0, ten);  // radius 3, centre (35, 15)
  EXPECT_EQ(*PixelAddress(35, 11, 4), 1);  // the 12 o'clock plus sign
  EXPECT_EQ(*PixelAddress(38, 15, 4), 1);  // 3 o'clock
  Face(DestRect{30, 10, 9, 40}, 12, 0, 0, DestRect{});  // too small: nothing
  // Hand half-widths of 65535 and 4096: broad bands cut at the face's edges.
  payload[24] = payload[25] = 0xFF;
  payload[26] = 0x00;
  payload[27] = 0x10;
  const DestRect r{20, 5, 20, 20};
  Face(r, 4, 22, 7, r);
  int32_t hands = 0;
  for (uint32_t y = 5; y < 25; ++y)
    for (uint32_t x = 20; x < 40; ++x) hands += *PixelAddress(x, y, 4) == 3 || *PixelAddress(x, y, 4) == 4;
  EXPECT_GT(hands, 40);
  GraphicsContext* saved = graphicscontext;
  graphicscontext = nullptr;
  Face(r, 3, 30, 0, DestRect{});
  graphicscontext = saved;
}

TEST_F(ClockFaceTest, RendererDrawsOnItsRequestOrASecond) {
  ClockSimulate(LocalSeconds(2024, 5, 6, 3, 30, 0));
  ElementNode e{};
  e.payload = payload.data();
  DestRect rect{0, 0, 20, 20};
  ClearFrameBuffer();
  refreshflags = kRefreshAction;
  EXPECT_EQ(RenderAnalogClock(&e, &rect), 0);  // no reason to draw
  EXPECT_EQ(ReadPicture(0, 0, 20, 20), NormalisePicture(Art(Dark(20, 20))));
  e.flags = 1;
  EXPECT_EQ(RenderAnalogClock(&e, &rect), 0);
  EXPECT_EQ(e.flags, 0u);
  EXPECT_TRUE(PictureAt(0, 0, kFace0330));
  EXPECT_EQ(RenderAnalogClock(&e, nullptr), 0);  // release: nothing to drop
}

// Through the exported functions in each colour mode: the loader adapts the
// stored colours, the local time is read on the second.
class ClockPlayTest : public TextPlayTest, public testing::WithParamInterface<int> {};

TEST_P(ClockPlayTest, HandsInTheColoursTheModeCanShow) {
  const int m = GetParam();
  Start(24, 20, m, LEDVIEW_TEST_FONT, LocalSeconds(2024, 5, 6, 3, 30, 0));
  Bill bill;
  bill.AddPage().AddArea(2, 0, 22, 20).AddComponent(0, 0, 22, 20).AddElement(4, ClockPayload(4, 6, 5, 7, 3));
  ASSERT_EQ(Play(bill), 0);
  Second();
  // Mode 4 keeps the colours, 2 keeps their low bits (0 becomes 1), 1 lights all.
  const std::string colours = m == 4 ? "46573" : m == 2 ? "12133" : "#####";
  std::string face = NormalisePicture(kFace0330);
  for (char& c : face) c = c >= '1' && c <= '5' ? colours[c - '1'] : c;
  EXPECT_TRUE(HostShows(2, 0, face));
  EXPECT_TRUE(HostDark(0, 0, 2, 20));
  EXPECT_TRUE(HostDark(22, 0, 2, 20));
}
INSTANTIATE_TEST_SUITE_P(Modes, ClockPlayTest, testing::Values(1, 2, 4));

}  // namespace
}  // namespace ledview::test
