// The analog clock's face at a fixed time in each colour mode, and the faces
// that draw nothing. Hands of any width are in the time elements' clip scene.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/analogclock.h"
#include "display/framebuffer.h"
#include "graphics/graphics.h"
#include "ledview.h"
#include "support/picture.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

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
}
INSTANTIATE_TEST_SUITE_P(Modes, ClockPlayTest, testing::Values(1, 2, 4));

// Drawn directly on a cleared 64 x 32 screen.
using ClockFaceTest = EngineTest;

TEST_F(ClockFaceTest, LeapSecondsSmallFacesAndNoGraphicsContext) {
  ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  const std::vector<uint8_t> payload = ClockPayload(1, 2, 3, 4, 5);
  auto face = [&payload](DestRect r, int32_t hour, int32_t minute, int32_t second) {
    ClearFrameBuffer();
    DrawClockFace(payload.data(), r, hour, minute, second);
    return ReadPicture(0, 0, 64, 32);
  };
  const std::string dark = face(DestRect{0, 0, 0, 0}, 0, 0, 0);
  EXPECT_EQ(face(DestRect{0, 0, 20, 20}, 12, 0, 60), face(DestRect{0, 0, 20, 20}, 12, 0, 0));
  EXPECT_NE(face(DestRect{0, 0, 20, 20}, 12, 0, 0), dark);
  EXPECT_EQ(dark.find_first_not_of(".\n"), std::string::npos);
  EXPECT_EQ(face(DestRect{30, 10, 9, 40}, 12, 0, 0), dark);  // under 10 pixels: nothing
  GraphicsContext* saved = graphicscontext;
  graphicscontext = nullptr;
  EXPECT_EQ(face(DestRect{0, 0, 20, 20}, 3, 30, 0), dark);
  graphicscontext = saved;
}

}  // namespace
}  // namespace ledview::test
