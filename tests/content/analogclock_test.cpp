// The analog clock's face at a fixed time in each colour mode, and the faces
// that draw nothing. Hands of any width are in the time elements' clip scene.
#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    ...22.....4.....22..
    ...22.....4.....22..
    ..........4.........
    ......22.....22.....
    ......22..1..22.....
    .........111........
    ..........1.........)";

// The same face at 12:20:40: the one-pixel minute hand (4) points at four
// o'clock, the hour hand (3) just past twelve, the second hand (5) at eight.
constexpr const char* kFace1220 = R"(
    ....................
    ..........1.........
    .........111........
    ..........1.........
    .......22....22.....
    .......22....22.....
    ................22..
    ...22...........22..
    ...22.....3.........
    ..1......33.......1.
    .111.....55......111
    ..1....55..44.....1.
    .....55......44.....
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


// Every hour and minute hand angle, in a small and a large face, for narrow
// and wide hands: the lit pixels form one 8-connected stroke that reaches
// from the centre to the tip, each within one pixel (a horizontal line leaves
// its right end dark).
TEST_F(ClockFaceTest, HandsAreConnectedStrokesFromTheCentreToTheTip) {
  ASSERT_EQ(InitLedConfigure(64, 64, 4), 0);
  constexpr int32_t kSide = 64, kCentre = 32;
  // Hand lengths of a 20 x 20 face (radius 8) and a 64 x 64 face (radius 30).
  for (const int32_t length : {8 - 5, 8 - 3, 30 - 5, 30 - 3}) {
    for (const int32_t halfwidth : {0, 1, 2, 5}) {
      for (int32_t angle = 0; angle <= 360; ++angle) {
        SCOPED_TRACE("length " + std::to_string(length) + ", half-width " + std::to_string(halfwidth) +
                     ", angle " + std::to_string(angle));
        ClearFrameBuffer();
        DrawClockHand(graphicscontext, 3, halfwidth, length, angle, kCentre, kCentre);
        const std::string picture = NormalisePicture(ReadPicture(0, 0, kSide, kSide));
        auto lit = [&picture](int32_t x, int32_t y) {
          return x >= 0 && y >= 0 && x < kSide && y < kSide &&
                 picture[static_cast<size_t>(y * (kSide + 1) + x)] == '3';
        };
        auto near = [&lit](int32_t x, int32_t y) {
          for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
              if (lit(x + dx, y + dy)) return std::pair{x + dx, y + dy};
            }
          }
          return std::pair{-1, -1};
        };
        const GfxPoint tip = HandTip(length, angle);
        const auto start = near(kCentre, kCentre);
        ASSERT_NE(start.first, -1) << "nothing by the centre\n" << picture;
        ASSERT_NE(near(kCentre + tip.x, kCentre + tip.y).first, -1) << "nothing by the tip\n" << picture;
        // Flood from the centre; it must reach every lit pixel.
        std::vector<bool> seen(kSide * kSide, false);
        std::vector<std::pair<int32_t, int32_t>> todo{start};
        seen[start.second * kSide + start.first] = true;
        while (!todo.empty()) {
          const auto [x, y] = todo.back();
          todo.pop_back();
          for (int32_t dy = -1; dy <= 1; ++dy) {
            for (int32_t dx = -1; dx <= 1; ++dx) {
              if (lit(x + dx, y + dy) && !seen[(y + dy) * kSide + x + dx]) {
                seen[(y + dy) * kSide + x + dx] = true;
                todo.push_back({x + dx, y + dy});
              }
            }
          }
        }
        for (int32_t y = 0; y < kSide; ++y) {
          for (int32_t x = 0; x < kSide; ++x) {
            ASSERT_EQ(lit(x, y), seen[y * kSide + x]) << "apart at " << x << "," << y << "\n" << picture;
          }
        }
      }
    }
  }
}

using ClockTimeTest = TextPlayTest;
TEST_F(ClockTimeTest, TwelveTwentyWithANarrowMinuteHand) {
  Start(20, 20, 4, LEDVIEW_TEST_FONT, LocalSeconds(2024, 5, 1, 12, 20, 40));
  Bill bill;
  bill.AddPage().AddArea(0, 0, 20, 20).AddComponent(0, 0, 20, 20).AddElement(4, ClockPayload(1, 2, 3, 4, 5));
  ASSERT_EQ(Play(bill), 0);
  Second();
  EXPECT_TRUE(HostShows(0, 0, kFace1220));
}
}  // namespace
}  // namespace ledview::test
