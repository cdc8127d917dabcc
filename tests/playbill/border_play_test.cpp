// Bordered pages and components played through the exported functions: the
// painters draw on the action interval and renderers get the inset rectangle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::PlayTest;

TEST_F(PlayTest, ChainBordersRunAroundPageAndComponent) {
  Start(8, 5, 2);
  Bill bill;
  test::Area& area = bill.AddPage(0, 2).AddArea(1, 1, 6, 3);
  area.AddComponent(0, 0, 6, 3, 2).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  ASSERT_EQ(Play(bill), 0);

  RefreshBuffer();  // nothing pending yet
  EXPECT_TRUE(HostDark(0, 0, 8, 5));

  Actions(9);  // the first action interval
  RefreshBuffer();
  // Both chains start with colours 1, 2, 3 at their top-left corners and run
  // clockwise; each walk ends on its first pixel again.
  EXPECT_TRUE(HostShows(0, 0, R"(
    22312312
    13231233
    32....11
    21321322
    13213213)"));
  bool sawinset = false;
  for (const test::RenderCall& call : test::rendercalls) {
    if (call.release) continue;
    EXPECT_EQ(call.rect.x, 2);
    EXPECT_EQ(call.rect.y, 2);
    EXPECT_EQ(call.rect.width, 4);
    EXPECT_EQ(call.rect.height, 1);
    sawinset = true;
  }
  EXPECT_TRUE(sawinset);

  // The next interval advances both chains by one colour.
  Actions(9);
  RefreshBuffer();
  EXPECT_EQ(output[1], 1);  // top row, k = 1: phase 1 runs (3, 1, 2)
  EXPECT_EQ(output[8 + 3], 2);  // component top row, k = 2
}

}  // namespace
}  // namespace ledview
