// Lines, outlines and filled polygons, seen through the calls they make and
// the pictures those calls paint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "memory/arena.h"
#include "support/gfx_canvas.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::GfxCall;
using test::GfxTest;
using test::NormalisePicture;

int32_t Line(GraphicsContext* ctx, int x0, int y0, int x1, int y1) {
  const GfxSegment s{static_cast<int16_t>(x0), static_cast<int16_t>(y0), static_cast<int16_t>(x1),
                     static_cast<int16_t>(y1)};
  return DrawLine(ctx, &s);
}

std::vector<std::pair<int, int>> Pixels(const std::vector<GfxCall>& calls) {
  std::vector<std::pair<int, int>> out;
  for (const GfxCall& c : calls) {
    if (c.kind == 'p') out.emplace_back(c.a, c.b);
  }
  return out;
}

using Points = std::vector<std::pair<int, int>>;

TEST_F(GfxTest, VerticalLineIsOneRectangleWithBothEnds) {
  EXPECT_EQ(Line(ctx, 5, 6, 5, 2), 0);
  EXPECT_EQ(canvas.calls, (std::vector<GfxCall>{{'r', 5, 2, 1, 5, 2}}));
  EXPECT_EQ(canvas.Lit(), 5);
}

TEST_F(GfxTest, HorizontalLineStopsShortOfItsRightEnd) {
  Line(ctx, 2, 5, 6, 5);
  EXPECT_EQ(canvas.calls, (std::vector<GfxCall>{{'h', 5, 2, 6, 0, 2}}));
  EXPECT_EQ(canvas.Picture(0, 5, 8, 1), "..2222..");
}

TEST_F(GfxTest, ReversedLineDrawsLikeTheOrderedOne) {
  Line(ctx, 10, 10, 0, 10);
  const std::vector<GfxCall> reversed = canvas.calls;
  canvas.Clear();
  Line(ctx, 0, 10, 10, 10);
  EXPECT_EQ(reversed, canvas.calls);
  canvas.Clear();
  Line(ctx, 4, 2, 0, 0);
  EXPECT_EQ(Pixels(canvas.calls), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
}

TEST_F(GfxTest, DiagonalLinesFollowBresenhamFromTheirStart) {
  Line(ctx, 0, 0, 4, 2);  // shallow, falling
  EXPECT_EQ(Pixels(canvas.calls), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  canvas.Clear();
  Line(ctx, 0, 0, 2, 4);  // steep, falling: walked along y
  EXPECT_EQ(Pixels(canvas.calls), (Points{{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}));
  canvas.Clear();
  Line(ctx, 0, 2, 4, 0);  // shallow, rising: walked from the left end
  EXPECT_EQ(Pixels(canvas.calls), (Points{{0, 2}, {1, 1}, {2, 1}, {3, 0}, {4, 0}}));
  canvas.Clear();
  Line(ctx, 0, 4, 2, 0);  // steep, rising: walked down from the top end
  EXPECT_EQ(Pixels(canvas.calls), (Points{{2, 0}, {1, 1}, {1, 2}, {0, 3}, {0, 4}}));
  canvas.Clear();
  Line(ctx, 3, 3, 6, 6);  // exactly diagonal
  EXPECT_EQ(Pixels(canvas.calls), (Points{{3, 3}, {4, 4}, {5, 5}, {6, 6}}));
  for (const GfxCall& c : canvas.calls) EXPECT_EQ(c.colour, 2);
}

TEST_F(GfxTest, NullSegmentIsRefused) {
  EXPECT_EQ(DrawLine(ctx, nullptr), 1);
  EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(GfxTest, ClippedLinesDrawOnlyTheirVisiblePart) {
  Line(ctx, -4, -4, 4, 4);
  EXPECT_EQ(Pixels(canvas.calls), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
  canvas.Clear();
  Line(ctx, -10, 31, 100, 31);
  EXPECT_EQ(canvas.calls, (std::vector<GfxCall>{{'h', 31, 0, 63, 0, 2}}));
  canvas.Clear();
  // A steep line whose cut leaves it vertical, running upward.
  Line(ctx, 0, 100, 1, -101);
  EXPECT_EQ(canvas.calls, (std::vector<GfxCall>{{'r', 0, 0, 1, 32, 2}}));
}

TEST_F(GfxTest, LineMissingTheScreenIsTestedPixelByPixel) {
  // The true line passes a third of a pixel outside the corner; the
  // rounded walk still touches (0, 0).
  Line(ctx, -2, 1, 1, -1);
  EXPECT_EQ(Pixels(canvas.calls), (Points{{0, 0}}));
  canvas.Clear();
  Line(ctx, -30, -20, -2, -1);
  Line(ctx, 64, -5, 64, 40);
  Line(ctx, -5, 40, 80, 40);
  EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(GfxTest, PolylineJoinsPointsAndClosesOnRequest) {
  const GfxPoint points[3] = {{1, 1}, {5, 1}, {5, 4}};
  DrawPolyline(ctx, 3, points, 0);
  EXPECT_EQ(canvas.Picture(0, 0, 7, 6), NormalisePicture(R"(
      .......
      .22222.
      .....2.
      .....2.
      .....2.
      .......)"));
  canvas.Clear();
  DrawPolyline(ctx, 3, points, 1);
  EXPECT_EQ(canvas.Picture(0, 0, 7, 6), NormalisePicture(R"(
      .......
      .22222.
      ..2..2.
      ...222.
      .....2.
      .......)"));
  canvas.Clear();
  DrawPolyline(ctx, 0, points, 1);
  DrawPolyline(ctx, 3, nullptr, 1);
  EXPECT_TRUE(canvas.calls.empty());
}

int32_t Fill(GraphicsContext* ctx, const std::vector<GfxPoint>& points) {
  const GfxPolygon polygon{static_cast<uint32_t>(points.size()), points.data()};
  return FillPolygon(ctx, &polygon);
}

TEST_F(GfxTest, FilledSquareLeavesItsRightColumnOut) {
  SetFillMode(ctx, 1);
  SetFillColour(ctx, 2);  // same as the pen: no outline
  EXPECT_EQ(Fill(ctx, {{0, 0}, {4, 0}, {4, 4}, {0, 4}}), 0);
  EXPECT_EQ(canvas.Picture(0, 0, 6, 6), NormalisePicture(R"(
      2222..
      2222..
      2222..
      2222..
      2222..
      ......)"));
  for (const GfxCall& c : canvas.calls) EXPECT_EQ(c.kind, 'h');
}

TEST_F(GfxTest, PolygonOnOneRowIsOneRunInThePen) {
  SetFillMode(ctx, 1);
  EXPECT_EQ(Fill(ctx, {{8, 5}, {0, 5}, {-2, 5}, {0, 5}}), 0);
  EXPECT_EQ(canvas.calls, (std::vector<GfxCall>{{'h', 5, 0, 8, 0, 2}}));
  canvas.Clear();
  EXPECT_EQ(Fill(ctx, {{3, 40}, {9, 40}, {5, 40}}), 0);  // below the screen
  EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(GfxTest, TooFewVerticesAreRefused) {
  SetFillMode(ctx, 1);
  EXPECT_EQ(Fill(ctx, {{0, 0}, {4, 4}}), kGfxBadPolygon);
  EXPECT_EQ(FillPolygon(ctx, nullptr), kGfxBadPolygon);
  const GfxPolygon nopoints{4, nullptr};
  EXPECT_EQ(FillPolygon(ctx, &nopoints), kGfxBadPolygon);
  EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(GfxTest, TriangleClippedAtTheTopFillsAndOutlinesInTwoColours) {
  SetFillMode(ctx, 1);
  EXPECT_EQ(Fill(ctx, {{10, -10}, {20, 10}, {0, 10}}), 0);
  // The fill (1) covers the clipped quadrilateral, each run one pixel short
  // on the right; the outline (2) follows the original triangle, cut line by
  // line, and is drawn last.
  EXPECT_EQ(canvas.Picture(0, 0, 22, 12), NormalisePicture(R"(
      .....21111111112......
      ....2111111111112.....
      ....2111111111112.....
      ...211111111111112....
      ...211111111111112....
      ..21111111111111112...
      ..21111111111111112...
      .2111111111111111112..
      .2111111111111111112..
      211111111111111111112.
      222222222222222222222.
      ......................)"));
}

TEST_F(GfxTest, OutlineOnlyWhenFillingIsOff) {
  EXPECT_EQ(Fill(ctx, {{1, 1}, {5, 1}, {5, 4}}), 0);
  EXPECT_EQ(canvas.Picture(0, 0, 7, 6), NormalisePicture(R"(
      .......
      .22222.
      ..2..2.
      ...222.
      .....2.
      .......)"));
}

TEST_F(GfxTest, ScanFillCountsChainVerticesOnceAndPeaksTwice) {
  SetFillMode(ctx, 1);
  SetFillColour(ctx, 2);
  // A chevron: both edges meeting at the notch (4, 3) reach its row, while
  // the side vertices (0, 4) and (8, 4) start the next edge of their chain
  // and end the previous one a row early. Runs stop short of their right
  // edge, so the top points and the bottom point stay dark.
  EXPECT_EQ(Fill(ctx, {{0, 0}, {4, 3}, {8, 0}, {8, 4}, {4, 7}, {0, 4}}), 0);
  EXPECT_EQ(canvas.Picture(0, 0, 9, 8), NormalisePicture(R"(
      .........
      2......2.
      222..222.
      22222222.
      22222222.
      .222222..
      ...22....
      .........)"));
}

TEST_F(GfxTest, UnclippedScanFillCutsEveryRun) {
  const GfxPoint points[4] = {{-5, -2}, {5, -2}, {5, 2}, {-5, 2}};
  const GfxPolygon polygon{4, points};
  EXPECT_EQ(ScanFill(ctx, &polygon, 0), 0);
  EXPECT_EQ(canvas.Picture(0, 0, 7, 4), NormalisePicture(R"(
      11111..
      11111..
      11111..
      .......)"));
}

TEST_F(GfxTest, ClippedCopyBeyondTwiceTheVerticesStillFits) {
  // The outline crosses the screen's edges so often that its clipped copy
  // has 28 vertices: more than 2 x 10 + 4.
  SetFillMode(ctx, 1);
  EXPECT_EQ(Fill(ctx, {{269, -266}, {-110, 153}, {95, -38}, {-25, 192}, {109, -61}, {-434, 341},
                       {158, -56}, {-183, 143}, {134, -71}, {14, 71}}),
            0);
  EXPECT_GT(canvas.Lit(), 0);
}

TEST_F(GfxTest, ExhaustedArenaDrawsNothing) {
  std::vector<void*> held;
  for (size_t size = 1 << 20; size >= 16; size /= 2) {
    while (void* p = ArenaAlloc(size)) held.push_back(p);
  }
  SetFillMode(ctx, 1);
  SetFillColour(ctx, 2);
  const std::vector<GfxPoint> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  EXPECT_EQ(Fill(ctx, square), kGfxNoMemory);
  const GfxPolygon polygon{4, square.data()};
  EXPECT_EQ(ScanFill(ctx, &polygon, 1), kGfxNoMemory);
  EXPECT_TRUE(canvas.calls.empty());
  for (void* p : held) ArenaFree(p);
  EXPECT_EQ(Fill(ctx, square), 0);
  EXPECT_EQ(canvas.Lit(), 20);
}

}  // namespace
}  // namespace ledview
