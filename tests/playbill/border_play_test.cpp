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

std::string OutputPicture(const std::vector<uint8_t>& out, int width, int height) {
  std::string s;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t v = out[static_cast<size_t>(y) * width + x];
      s += v == 0 ? '.' : static_cast<char>('0' + v);
    }
    s += '\n';
  }
  return s;
}

TEST_F(PlayTest, ChainBordersRunAroundPageAndComponent) {
  Start(8, 5, 2);
  Bill bill;
  test::Area& area = bill.AddPage(0, 2).AddArea(1, 1, 6, 3);
  area.AddComponent(0, 0, 6, 3, 2).AddElement(4, test::ClockPayload(1, 1, 1, 1, 1));
  ASSERT_EQ(Play(bill), 0);

  RefreshBuffer();  // nothing pending yet
  EXPECT_EQ(OutputPicture(output, 8, 5), "........\n........\n........\n........\n........\n");

  Actions(9);  // the first action interval
  RefreshBuffer();
  // Both chains start with colours 1, 2, 3 at their top-left corners and run
  // clockwise; each walk ends on its first pixel again.
  EXPECT_EQ(OutputPicture(output, 8, 5),
            "22312312\n"
            "13231233\n"
            "32....11\n"
            "21321322\n"
            "13213213\n");
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
