// The analog clock: hand geometry, the face at a fixed time in each colour
// mode, and faces and hands that must stay inside their rectangle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/analogclock.h"
#include "display/framebuffer.h"
#include "graphics/graphics.h"
#include "graphics/sine.h"
#include "ledview.h"
#include "playbill/scheduler.h"
#include "support/picture.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

TEST(ClockGeometry, SinesHandTipsAndKites) {
  // Truncated Q14 sines, with the controller's own second entry.
  EXPECT_EQ(SineTable[1], 286);
  EXPECT_EQ(SineTable[30], 8191);
  std::string got;
  auto add = [&got](GfxPoint p) { got += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; };
  // 360 is a leap second's angle; products are shifted before they are
  // negated; a face too small for its hands gives them a negative length.
  const std::pair<int32_t, int32_t> tips[] = {{100, 30}, {100, 105}, {100, 225}, {100, 360}, {3, 200}, {-2, 0}};
  for (auto [length, angle] : tips) add(HandTip(length, angle));
  GfxPoint p[8];
  MakeHandPolygon(20, 200, 3, p);
  MakeHandPolygon(5, 0, 1, p + 4);  // the tail is a quarter of the tip, rounded down first
  for (const GfxPoint& q : p) add(q);
  EXPECT_EQ(got, "(49,-86)(96,25)(-70,70)(0,-100)(-1,2)(0,2)(-6,18)(-2,-1)(2,-4)(2,1)(0,-5)(1,0)(0,2)(-1,0)");
}

// Main marks 1, other marks 2, hour hand 3 (half-width 2), minute hand 4
// (half-width 1), second hand 5 at 03:30:00; a 20 x 20 face, radius 8.
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

// Played in each colour mode, the loader adapting the stored colours, in a
// component wider than tall and away from the sign's corner.
class ClockPlayTest : public TextPlayTest, public testing::WithParamInterface<int> {};

TEST_P(ClockPlayTest, TheFaceInTheColoursTheModeCanShow) {
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

// Drawn directly on a cleared 64 x 32 screen.
class ClockFaceTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  }
  void TearDown() override {
    refreshflags = 0;
    EngineTest::TearDown();
  }
  std::string Face(DestRect r, int32_t hour, int32_t minute, int32_t second) {
    ClearFrameBuffer();
    DrawClockFace(payload.data(), r, hour, minute, second);
    return ReadPicture(0, 0, 64, 32);
  }
  std::vector<uint8_t> payload = ClockPayload(1, 2, 3, 4, 5);
};

TEST_F(ClockFaceTest, LeapSecondsSmallFacesWideHandsAndNoGraphicsContext) {
  const std::string dark = Face(DestRect{0, 0, 0, 0}, 0, 0, 0);
  EXPECT_EQ(dark.find_first_not_of(".\n"), std::string::npos);
  EXPECT_EQ(Face(DestRect{0, 0, 20, 20}, 12, 0, 60), Face(DestRect{0, 0, 20, 20}, 12, 0, 0));
  EXPECT_EQ(Face(DestRect{30, 10, 9, 40}, 12, 0, 0), dark);  // under 10 pixels: nothing
  // Hand half-widths of 65535 and 4096: broad bands, cut at the rectangle.
  payload[24] = payload[25] = 0xFF;
  payload[26] = 0x00;
  payload[27] = 0x10;
  const std::string wide = Face(DestRect{20, 5, 20, 20}, 4, 22, 7);
  int32_t hands = 0;
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const char c = wide[y * 65 + x];
      EXPECT_TRUE(c == '.' || (x >= 20 && x < 40 && y >= 5 && y < 25)) << x << "," << y;
      hands += c == '3' || c == '4';
    }
  EXPECT_GT(hands, 40);
  GraphicsContext* saved = graphicscontext;
  graphicscontext = nullptr;
  EXPECT_EQ(Face(DestRect{0, 0, 20, 20}, 3, 30, 0), dark);
  graphicscontext = saved;
}

}  // namespace
}  // namespace ledview::test
