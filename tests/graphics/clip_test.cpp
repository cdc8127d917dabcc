// The graphics context: creation, setters, the point test, clipped runs and
// the two clippers.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/graphics.h"
#include "support/gfx_canvas.h"

namespace ledview {
namespace {

using test::GfxCall;
using test::GfxTest;

void NoFill(uintptr_t, const GfxRect*, int32_t) {}
void NoPixel(uintptr_t, int32_t, int32_t, int32_t) {}
void NoRun(uintptr_t, int32_t, int32_t, int32_t, int32_t) {}

TEST_F(GfxTest, ContextStartsWithScreenClipAndUnsetColours) {
  const GraphicsDriver driver{NoFill, NoPixel, NoRun};
  GraphicsContext* c = CreateGraphicsContext(&driver, 7, 100, 40);
  ASSERT_EQ(c, ctx);  // the one static context
  EXPECT_EQ(c->user, 7u);
  EXPECT_EQ(c->width, 100);
  EXPECT_EQ(c->height, 40);
  EXPECT_EQ(c->pen, -1);
  EXPECT_EQ(c->fill, -1);
  EXPECT_EQ(c->fillmode, 0u);
  EXPECT_EQ(c->clip.left, 0);
  EXPECT_EQ(c->clip.right, 99);
  EXPECT_EQ(c->clip.top, 0);
  EXPECT_EQ(c->clip.bottom, 39);
}

TEST_F(GfxTest, MissingCallbackLeavesTheContextAlone) {
  SetPenColour(ctx, 5);
  const GraphicsDriver nofill{nullptr, NoPixel, NoRun};
  const GraphicsDriver nopixel{NoFill, nullptr, NoRun};
  const GraphicsDriver norun{NoFill, NoPixel, nullptr};
  EXPECT_EQ(CreateGraphicsContext(nullptr, 0, 10, 10), nullptr);
  EXPECT_EQ(CreateGraphicsContext(&nofill, 0, 10, 10), nullptr);
  EXPECT_EQ(CreateGraphicsContext(&nopixel, 0, 10, 10), nullptr);
  EXPECT_EQ(CreateGraphicsContext(&norun, 0, 10, 10), nullptr);
  EXPECT_EQ(ctx->pen, 5);
  EXPECT_EQ(ctx->width, test::GfxCanvas::kWidth);
}

TEST_F(GfxTest, SettersReportAsDocumented) {
  EXPECT_EQ(SetPenColour(ctx, 6), 2);  // the previous pen
  EXPECT_EQ(SetPenColour(ctx, 3), 6);
  EXPECT_EQ(SetFillColour(ctx, 4), 4);  // the new fill
  EXPECT_EQ(ctx->fill, 4);
  EXPECT_EQ(SetFillMode(ctx, 1), 1u);
  EXPECT_EQ(SetFillMode(ctx, 2), 0u);  // only 1 switches filling on
  EXPECT_EQ(SetFillMode(ctx, 1), 1u);
  EXPECT_EQ(SetFillMode(ctx, 0), 0u);
}

TEST_F(GfxTest, PointInClipIncludesTheBounds) {
  EXPECT_EQ(PointInClip(ctx, 0, 0), 1);
  EXPECT_EQ(PointInClip(ctx, 63, 31), 1);
  EXPECT_EQ(PointInClip(ctx, -1, 0), 0);
  EXPECT_EQ(PointInClip(ctx, 64, 0), 0);
  EXPECT_EQ(PointInClip(ctx, 0, -1), 0);
  EXPECT_EQ(PointInClip(ctx, 0, 32), 0);
}

TEST_F(GfxTest, ClipBoundsNarrowWithinTheScreenAndComeBack) {
  const ClipBounds screen = SetClipBounds(ctx, ClipBounds{-5, 10, 4, 100});
  EXPECT_EQ(screen.right, 63);
  EXPECT_EQ(ctx->clip.left, 0);
  EXPECT_EQ(ctx->clip.right, 10);
  EXPECT_EQ(ctx->clip.top, 4);
  EXPECT_EQ(ctx->clip.bottom, 31);
  EXPECT_EQ(PointInClip(ctx, 11, 5), 0);
  SetClipBounds(ctx, screen);
  EXPECT_EQ(PointInClip(ctx, 63, 0), 1);
}

TEST_F(GfxTest, ClippedRunsStayOnScreen) {
  DrawClippedHLine(ctx, 3, -5, 3, 2);    // starts left of the screen
  DrawClippedHLine(ctx, 4, 60, 90, 2);   // ends right of it
  DrawClippedHLine(ctx, -1, 0, 10, 2);   // above
  DrawClippedHLine(ctx, 32, 0, 10, 2);   // below
  DrawClippedHLine(ctx, 5, 70, 80, 2);   // wholly right: x0 > x1 after the cut
  DrawClippedHLine(ctx, 6, 9, 9, 2);     // a single point reaches the driver
  const std::vector<GfxCall> expected{{'h', 3, 0, 3, 0, 2}, {'h', 4, 60, 63, 0, 2},
                                      {'h', 6, 9, 9, 0, 2}};
  EXPECT_EQ(canvas.calls, expected);
}

GfxSegment Clip(GraphicsContext* ctx, GfxSegment in, int32_t* accepted) {
  GfxSegment out{-999, -999, -999, -999};
  *accepted = ClipLine(ctx, &in, &out);
  return out;
}

void ExpectSegment(const GfxSegment& s, int x0, int y0, int x1, int y1) {
  EXPECT_EQ(s.x0, x0);
  EXPECT_EQ(s.y0, y0);
  EXPECT_EQ(s.x1, x1);
  EXPECT_EQ(s.y1, y1);
}

TEST_F(GfxTest, ClipLineKeepsVisibleSegmentsAndRejectsHiddenOnes) {
  int32_t ok = 0;
  ExpectSegment(Clip(ctx, {3, 4, 20, 30}, &ok), 3, 4, 20, 30);
  EXPECT_EQ(ok, 1);
  ExpectSegment(Clip(ctx, {-10, 5, 10, 5}, &ok), 0, 5, 10, 5);
  EXPECT_EQ(ok, 1);
  // Wholly left, right, above and below.
  Clip(ctx, {-20, 5, -1, 9}, &ok);
  EXPECT_EQ(ok, 0);
  Clip(ctx, {64, 5, 90, 9}, &ok);
  EXPECT_EQ(ok, 0);
  Clip(ctx, {5, -9, 9, -1}, &ok);
  EXPECT_EQ(ok, 0);
  Clip(ctx, {5, 32, 9, 50}, &ok);
  EXPECT_EQ(ok, 0);
  // Parallel to an edge and outside it.
  Clip(ctx, {-5, -3, 10, -3}, &ok);
  EXPECT_EQ(ok, 0);
  // A single point, inside and outside.
  ExpectSegment(Clip(ctx, {7, 7, 7, 7}, &ok), 7, 7, 7, 7);
  EXPECT_EQ(ok, 1);
  Clip(ctx, {70, 7, 70, 7}, &ok);
  EXPECT_EQ(ok, 0);
  // Passing beyond a corner without touching the screen.
  Clip(ctx, {-10, 5, 5, -10}, &ok);
  EXPECT_EQ(ok, 0);
}

TEST_F(GfxTest, ClipLineCutsAtEachEdge) {
  int32_t ok = 0;
  ExpectSegment(Clip(ctx, {-8, 4, 8, 12}, &ok), 0, 8, 8, 12);      // left
  ExpectSegment(Clip(ctx, {56, 0, 72, 16}, &ok), 56, 0, 63, 7);    // right
  ExpectSegment(Clip(ctx, {10, -10, 20, 10}, &ok), 15, 0, 20, 10);  // top
  ExpectSegment(Clip(ctx, {0, 21, 20, 41}, &ok), 0, 21, 10, 31);   // bottom
  // Across the whole screen both ways, and through two corners.
  ExpectSegment(Clip(ctx, {-10, 10, 80, 10}, &ok), 0, 10, 63, 10);
  ExpectSegment(Clip(ctx, {20, -10, 20, 50}, &ok), 20, 0, 20, 31);
  ExpectSegment(Clip(ctx, {-4, -4, 70, 70}, &ok), 0, 0, 31, 31);
  // Leaving by the left and the top keeps the direction.
  ExpectSegment(Clip(ctx, {8, 12, -8, 4}, &ok), 8, 12, 0, 8);
  ExpectSegment(Clip(ctx, {20, 10, 10, -10}, &ok), 20, 10, 15, 0);
  EXPECT_EQ(ok, 1);
}

TEST_F(GfxTest, ClipLineRoundsHalvesAwayFromZero) {
  int32_t ok = 0;
  // Both meet x = 0 at t = 1/2, half a pixel along y.
  ExpectSegment(Clip(ctx, {-1, 0, 1, 1}, &ok), 0, 1, 1, 1);
  ExpectSegment(Clip(ctx, {-1, 2, 1, 1}, &ok), 0, 1, 1, 1);
  ExpectSegment(Clip(ctx, {-1, 1, 1, 0}, &ok), 0, 0, 1, 0);
  // A third of a pixel rounds down, two thirds up.
  ExpectSegment(Clip(ctx, {-1, 0, 2, 1}, &ok), 0, 0, 2, 1);
  ExpectSegment(Clip(ctx, {-2, 0, 1, 1}, &ok), 0, 1, 1, 1);
}

TEST_F(GfxTest, ClipLineIsExactAcrossTheWholeCoordinateRange) {
  int32_t ok = 0;
  ExpectSegment(Clip(ctx, {-32768, 16, 32767, 16}, &ok), 0, 16, 63, 16);
  EXPECT_EQ(ok, 1);
  ExpectSegment(Clip(ctx, {-32768, -32768, 32767, 32767}, &ok), 0, 0, 31, 31);
  EXPECT_EQ(ok, 1);
  // A shallow slope whose entry lands exactly on a half pixel.
  ExpectSegment(Clip(ctx, {-32767, 0, 32767, 2}, &ok), 0, 1, 63, 1);
  EXPECT_EQ(ok, 1);
}

std::vector<GfxPoint> ClipPoly(const ClipBounds& b, const std::vector<GfxPoint>& in) {
  std::vector<GfxPoint> out(ClipPolygonBound(static_cast<uint32_t>(in.size())));
  const uint32_t n = ClipPolygon(&b, static_cast<uint32_t>(in.size()), in.data(), out.data(),
                                 static_cast<uint32_t>(out.size()));
  out.resize(n);
  return out;
}

std::string Text(const std::vector<GfxPoint>& points) {
  std::string s;
  for (const GfxPoint& p : points) s += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
  return s;
}

constexpr ClipBounds kScreen{0, 63, 0, 31};

TEST(ClipPolygon, TriangleAboveTheTopBecomesAQuadrilateral) {
  EXPECT_EQ(Text(ClipPoly(kScreen, {{10, -10}, {20, 10}, {0, 10}})),
            "(15,0)(20,10)(0,10)(5,0)");
}

TEST(ClipPolygon, InsideKeepsOutsideDrops) {
  EXPECT_EQ(Text(ClipPoly(kScreen, {{0, 0}, {63, 0}, {63, 31}})), "(0,0)(63,0)(63,31)");
  EXPECT_EQ(Text(ClipPoly(kScreen, {{-9, -9}, {-1, -9}, {-1, -1}})), "");
  EXPECT_EQ(Text(ClipPoly(kScreen, {{70, 0}, {80, 0}, {75, 20}})), "");
}

TEST(ClipPolygon, CutsEachSideAndAddsTheCornersItSpans) {
  // A square around the screen becomes the screen.
  EXPECT_EQ(Text(ClipPoly(kScreen, {{-10, -10}, {80, -10}, {80, 50}, {-10, 50}})),
            "(63,0)(63,31)(0,31)(0,0)");
  // Poking out of the left and the right.
  EXPECT_EQ(Text(ClipPoly(kScreen, {{-10, 10}, {30, 5}, {80, 10}, {30, 20}})),
            "(0,10)(30,5)(63,8)(63,13)(30,20)(0,13)");
  // Poking out of the bottom.
  EXPECT_EQ(Text(ClipPoly(kScreen, {{10, 10}, {20, 10}, {15, 40}})),
            "(10,10)(20,10)(17,31)(14,31)");
}

TEST(ClipPolygon, OutputCanOutgrowTwiceTheVerticesPlusFour) {
  // A self-crossing outline that leaves and re-enters the screen many times.
  const std::vector<GfxPoint> star{{269, -266}, {-110, 153}, {95, -38},  {-25, 192}, {109, -61},
                                   {-434, 341}, {158, -56},  {-183, 143}, {134, -71}, {14, 71}};
  const std::vector<GfxPoint> out = ClipPoly(kScreen, star);
  EXPECT_EQ(out.size(), 28u);
  EXPECT_GT(out.size(), 2 * star.size() + 4);
  EXPECT_LE(out.size(), ClipPolygonBound(10));
  for (const GfxPoint& p : out) {
    EXPECT_TRUE(p.x >= 0 && p.x <= 63 && p.y >= 0 && p.y <= 31) << Text({p});
  }
}

TEST(ClipPolygon, NeverWritesBeyondItsCapacity) {
  const std::vector<GfxPoint> in{{-10, -10}, {80, -10}, {80, 50}, {-10, 50}};
  GfxPoint out[3] = {{1, 1}, {1, 1}, {1, 1}};
  EXPECT_EQ(ClipPolygon(&kScreen, 4, in.data(), out, 2), 2u);
  EXPECT_EQ(out[1].x, 63);
  EXPECT_EQ(out[2].x, 1);  // untouched
  EXPECT_EQ(ClipPolygon(&kScreen, 4, in.data(), nullptr, 9), 0u);
  EXPECT_EQ(ClipPolygon(&kScreen, 0, in.data(), out, 3), 0u);
}

TEST(ClipPolygon, BoundGrowsByHalfPerSide) {
  // n + n / 2 after each of the four sides.
  EXPECT_EQ(ClipPolygonBound(0), 0u);
  EXPECT_EQ(ClipPolygonBound(3), 13u);
  EXPECT_EQ(ClipPolygonBound(4), 19u);
  EXPECT_EQ(ClipPolygonBound(10), 49u);
  EXPECT_EQ(ClipPolygonBound(0xFFFFFFFFu), 0xFFFFFFFFu);  // saturates
}

}  // namespace
}  // namespace ledview
