// Playbills played through the exported functions and read back from the
// host's buffer.
#include <gtest/gtest.h>

#include <vector>

#include "display/framebuffer.h"
#include "display/ledconfig.h"
#include "ledview.h"
#include "playbill/loader.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::PlayTest;

// Paints its rectangle in the colour at payload byte 4 (the clock's marks
// colour) when asked to run, and hands over after two action ticks.
int32_t PaintingRenderer(ElementNode* e, DestRect* rect) {
  if (rect == nullptr || !(e->flags & 1)) return 0;
  e->flags = 0;
  for (uint32_t y = rect->y; y < uint32_t{rect->y} + rect->height; ++y) {
    for (uint32_t x = rect->x; x < uint32_t{rect->x} + rect->width; ++x) {
      *PixelAddress(x, y, ledconfig.depth) = e->payload[4];
    }
  }
  return -2;
}

TEST_F(PlayTest, ElementsTakeTurnsInTheHostsBuffer) {
  Start(8, 4, 2);
  normalrenderers[4] = PaintingRenderer;
  Bill bill;
  test::Component& c = bill.AddPage().AddArea(2, 1, 5, 3).AddComponent(1, 1, 3, 2);
  c.AddElement(4, test::ClockPayload(2, 0, 0, 0, 0));
  c.AddElement(4, test::ClockPayload(7, 0, 0, 0, 0));  // colour 3 in colour mode 2
  ASSERT_EQ(Play(bill), 0);
  RefreshBuffer();  // nothing pending: the cleared picture is copied
  EXPECT_TRUE(HostDark(0, 0, 8, 4));
  Second();
  EXPECT_TRUE(HostShows(0, 0, R"(
    ........
    ........
    ...222..
    ...222..)"));
  Tick(2);  // the first element's two ticks
  EXPECT_TRUE(HostShows(0, 2, "...333..\n...333.."));
}

TEST_F(PlayTest, ChainBordersRunAroundPageAndComponent) {
  Start(8, 5, 2);
  Bill bill;
  test::Area& area = bill.AddPage(0, 2).AddArea(1, 1, 6, 3);
  area.AddComponent(0, 0, 6, 3, 2).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  ASSERT_EQ(Play(bill), 0);
  Second();  // a second alone paints no border
  EXPECT_TRUE(HostDark(0, 0, 8, 5));

  Tick(9);  // the first action interval
  // Both chains start with colours 1, 2, 3 at their top-left corners and run
  // clockwise; each walk ends on its first pixel again.
  EXPECT_TRUE(HostShows(0, 0, R"(
    22312312
    13231233
    32....11
    21321322
    13213213)"));
  // The renderer is handed the rectangle inside both borders.
  const test::RenderCall& call = test::rendercalls.back();
  EXPECT_EQ(std::vector<int>({call.rect.x, call.rect.y, call.rect.width, call.rect.height}),
            std::vector<int>({2, 2, 4, 1}));

  Tick(9);  // the next interval advances both chains by one colour
  EXPECT_TRUE(HostShows(0, 0, "11231231\n32123122"));
}

}  // namespace
}  // namespace ledview
