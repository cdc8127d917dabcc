// The 2D graphics layer through a driver that logs every callback and paints
// a 64 x 32 grid of colour digits ('.' untouched).
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/graphics.h"
#include "support/effect_bench.h"  // ArenaHog

namespace ledview {
namespace {

// Logged as "x,y" (pixel), "h<y>:<x0>-<x1>/<colour>", "r<x>,<y>:<w>x<h>/<colour>".
char cells[32][64];
std::string log;
bool strayed = false;

std::string Str(int32_t v) { return std::to_string(v); }
void Paint(const std::string& entry, int32_t x0, int32_t x1, int32_t y0, int32_t y1, int32_t colour) {
  log += entry + " ";
  strayed = strayed || (x0 < x1 && y0 < y1 && (x0 < 0 || y0 < 0 || x1 > 64 || y1 > 32));
  for (int32_t y = std::max(y0, 0); y < std::min(y1, 32); ++y)
    for (int32_t x = std::max(x0, 0); x < std::min(x1, 64); ++x) cells[y][x] = static_cast<char>('0' + colour % 10);
}
void FillRect(uintptr_t, const GfxRect* r, int32_t c) {
  Paint("r" + Str(r->x) + "," + Str(r->y) + ":" + Str(r->width) + "x" + Str(r->height) + "/" + Str(c), r->x, r->x + r->width, r->y, r->y + r->height, c);
}
void SetPixel(uintptr_t, int32_t x, int32_t y, int32_t c) { Paint(Str(x) + "," + Str(y), x, x + 1, y, y + 1, c); }
void HLine(uintptr_t, int32_t y, int32_t x0, int32_t x1, int32_t c) { Paint("h" + Str(y) + ":" + Str(x0) + "-" + Str(x1) + "/" + Str(c), x0, x1, y, y + 1, c); }
constexpr GraphicsDriver kDriver{FillRect, SetPixel, HLine};
constexpr ClipBounds kScreen{0, 63, 0, 31};

class Gfx : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(InitLedConfigure(64, 32, 2), 0);  // the arena the fills allocate from
    ASSERT_NE(ctx = CreateGraphicsContext(&kDriver, 7, 64, 32), nullptr);
    SetPenColour(ctx, 2);
    SetFillColour(ctx, 1);
    Clear();
  }
  void TearDown() override {
    EXPECT_FALSE(strayed) << "a callback reached outside the screen";
    EngineTest::TearDown();
  }
  static void Clear() { std::memset(cells, '.', sizeof cells), log.clear(); }
  static std::string Picture(int32_t w, int32_t h) {
    std::string out;
    for (int32_t y = 0; y < h; ++y) out += (y > 0 ? " " : "") + std::string(cells[y], static_cast<size_t>(w));
    return out;
  }
  // Fills on a cleared grid: the code, then the top left w x h of the picture.
  std::string Fill(const std::vector<GfxPoint>& points, int32_t w = 0, int32_t h = 0) {
    Clear();
    const GfxPolygon polygon{static_cast<uint32_t>(points.size()), points.data()};
    const std::string code = Str(FillPolygon(ctx, &polygon));
    return w > 0 ? code + " " + Picture(w, h) : code;
  }

  GraphicsContext* ctx = nullptr;
};

// A missing callback leaves the one context alone; clip bounds are cut to the
// screen and the old ones returned; runs are cut, one wholly outside dropped.
TEST_F(Gfx, ContextAndClipBounds) {
  const GraphicsDriver bad[] = {{nullptr, SetPixel, HLine}, {FillRect, nullptr, HLine}, {FillRect, SetPixel, nullptr}};
  for (const GraphicsDriver* d : {&bad[0], &bad[1], &bad[2], static_cast<const GraphicsDriver*>(nullptr)}) {
    EXPECT_EQ(CreateGraphicsContext(d, 0, 10, 10), nullptr);
  }
  const ClipBounds screen = SetClipBounds(ctx, ClipBounds{-5, 10, 4, 100});
  EXPECT_EQ(screen.left, 0);
  EXPECT_EQ(screen.right, 63);
  EXPECT_EQ(screen.top, 0);
  EXPECT_EQ(screen.bottom, 31);
  EXPECT_EQ(ctx->clip.left, 0);
  EXPECT_EQ(ctx->clip.right, 10);
  EXPECT_EQ(ctx->clip.top, 4);
  EXPECT_EQ(ctx->clip.bottom, 31);
  EXPECT_EQ(Str(PointInClip(ctx, 10, 31)) + Str(PointInClip(ctx, 0, 4)) + Str(PointInClip(ctx, 11, 5)) + Str(PointInClip(ctx, 5, 3)), "1100");
  SetClipBounds(ctx, screen);
  for (const auto& [y, x0, x1] : {std::tuple{3, -5, 3}, {4, 60, 90}, {-1, 0, 10}, {32, 0, 10}, {5, 70, 80}}) DrawClippedHLine(ctx, y, x0, x1, 2);
  EXPECT_EQ(log, "h3:0-3/2 h4:60-63/2 ");
}

// Dropped outside, along an edge or past a corner; cuts keep the direction, halves round away from zero.
TEST_F(Gfx, ClipLine) {
  const std::pair<GfxSegment, const char*> cases[] = {
      {{3, 4, 20, 30}, "3,4 20,30"}, {{70, 7, 70, 7}, ""}, {{-20, 5, -1, 9}, ""}, {{5, 32, 9, 50}, ""}, {{-5, -3, 10, -3}, ""},
      {{-10, 5, 5, -10}, ""}, {{-8, 4, 8, 12}, "0,8 8,12"}, {{56, 0, 72, 16}, "56,0 63,7"}, {{10, -10, 20, 10}, "15,0 20,10"},
      {{0, 21, 20, 41}, "0,21 10,31"}, {{-4, -4, 70, 70}, "0,0 31,31"}, {{8, 12, -8, 4}, "8,12 0,8"}, {{20, 10, 10, -10}, "20,10 15,0"},
      {{-1, 0, 1, 1}, "0,1 1,1"}, {{-1, 2, 1, 1}, "0,1 1,1"}, {{-1, 1, 1, 0}, "0,0 1,0"}, {{-1, 0, 2, 1}, "0,0 2,1"}, {{-2, 0, 1, 1}, "0,1 1,1"},
      {{-32768, -32768, 32767, 32767}, "0,0 31,31"}, {{-32767, 0, 32767, 2}, "0,1 63,1"},  // a shallow slope entering on a half pixel
  };
  for (const auto& [in, want] : cases) {
    GfxSegment o{};
    const bool ok = ClipLine(ctx, &in, &o) == 1;
    EXPECT_EQ(ok ? Str(o.x0) + "," + Str(o.y0) + " " + Str(o.x1) + "," + Str(o.y1) : "", want) << in.x0 << "," << in.y0;
  }
}

std::string ClipPoly(const std::vector<GfxPoint>& in) {
  std::vector<GfxPoint> out(ClipPolygonBound(static_cast<uint32_t>(in.size())));
  out.resize(ClipPolygon(&kScreen, static_cast<uint32_t>(in.size()), in.data(), out.data(), static_cast<uint32_t>(out.size())));
  std::string s;
  for (const GfxPoint& p : out) s += "(" + Str(p.x) + "," + Str(p.y) + ")";
  return s;
}

// Corners spanned are added; the output can outgrow 2n + 4 (the bound
// saturates) and never passes the capacity.
TEST(ClipPolygon, CutsEachSideWithinItsBound) {
  const GfxPoint square[4] = {{-10, -10}, {80, -10}, {80, 50}, {-10, 50}};
  EXPECT_EQ(ClipPoly({square, square + 4}) + "|" + ClipPoly({{70, 0}, {80, 0}, {75, 20}}), "(63,0)(63,31)(0,31)(0,0)|");
  EXPECT_EQ(ClipPoly({{-10, 10}, {30, 5}, {80, 10}, {30, 20}}), "(0,10)(30,5)(63,8)(63,13)(30,20)(0,13)");
  const std::vector<GfxPoint> star{{269, -266}, {-110, 153}, {95, -38}, {-25, 192}, {109, -61}, {-434, 341}, {158, -56}, {-183, 143}, {134, -71}, {14, 71}};
  std::vector<GfxPoint> out(ClipPolygonBound(10));
  EXPECT_EQ(ClipPolygon(&kScreen, 10, star.data(), out.data(), static_cast<uint32_t>(out.size())), 28u);
  for (size_t i = 0; i < 28; ++i) {
    EXPECT_GE(out[i].x, 0) << i;
    EXPECT_LE(out[i].x, 63) << i;
    EXPECT_GE(out[i].y, 0) << i;
    EXPECT_LE(out[i].y, 31) << i;
  }
  EXPECT_EQ(ClipPolygonBound(10), 49u);
  EXPECT_EQ(ClipPolygonBound(0xFFFFFFFFu), 0xFFFFFFFFu);
  GfxPoint few[3] = {{1, 1}, {1, 1}, {1, 1}};
  EXPECT_EQ(ClipPolygon(&kScreen, 4, square, few, 2), 2u);
  EXPECT_EQ(few[1].x, 63);
  EXPECT_EQ(few[2].x, 1);  // the third untouched
  EXPECT_EQ(ClipPolygon(&kScreen, 4, square, nullptr, 9) + ClipPolygon(&kScreen, 0, square, few, 3), 0u);
}

// Bresenham from the start (the top end when steep and rising); a vertical
// line is a rectangle, a horizontal one a run short of its right end.
TEST_F(Gfx, Lines) {
  const std::pair<GfxSegment, const char*> lines[] = {
      {{0, 0, 4, 2}, "0,0 1,1 2,1 3,2 4,2 "}, {{4, 2, 0, 0}, "0,0 1,1 2,1 3,2 4,2 "}, {{0, 0, 2, 4}, "0,0 1,1 1,2 2,3 2,4 "},
      {{0, 4, 2, 0}, "2,0 1,1 1,2 0,3 0,4 "}, {{-4, -4, 4, 4}, "0,0 1,1 2,2 3,3 4,4 "}, {{-2, 1, 1, -1}, "0,0 "} /* a third of a pixel off */,
      {{5, 6, 5, 2}, "r5,2:1x5/2 "}, {{-10, 31, 100, 31}, "h31:0-63/2 "}, {{0, 100, 1, -101}, "r0,0:1x32/2 "}, {{6, 5, 2, 5}, "h5:2-6/2 "},
  };
  for (const auto& [s, want] : lines) {
    Clear();
    EXPECT_EQ(DrawLine(ctx, &s), 0) << s.x0 << "," << s.y0 << " " << s.x1 << "," << s.y1;
    EXPECT_EQ(log, want) << s.x0 << "," << s.y0 << " " << s.x1 << "," << s.y1;
  }
  Clear();
  EXPECT_EQ(DrawLine(ctx, nullptr), 1);
  const GfxPoint points[3] = {{1, 1}, {5, 1}, {5, 4}};
  DrawPolyline(ctx, 0, points, 1), DrawPolyline(ctx, 3, nullptr, 1), DrawPolyline(ctx, 3, points, 0);  // the first two draw nothing
  EXPECT_EQ(Picture(7, 6), "....... .22222. .....2. .....2. .....2. .......");
  DrawPolyline(ctx, 3, points, 1);
  const std::string closed = Picture(7, 6);
  EXPECT_EQ(closed, "....... .22222. ..2..2. ...222. .....2. .......");
  EXPECT_EQ(Fill({{1, 1}, {5, 1}, {5, 4}}, 7, 6), "0 " + closed);  // filling off: the outline only
}

// Runs stop short of their right edge, a notch counts twice and a chain's
// vertex once; the outline, in the pen, is drawn last.
TEST_F(Gfx, FilledPolygons) {
  SetFillMode(ctx, 1);
  EXPECT_EQ(Fill({{10, -10}, {20, 10}, {0, 10}}, 22, 12),
            "0 .....21111111112...... ....2111111111112..... ....2111111111112..... ...211111111111112.... "
            "...211111111111112.... ..21111111111111112... ..21111111111111112... .2111111111111111112.. "
            ".2111111111111111112.. 211111111111111111112. 222222222222222222222. ......................");
  EXPECT_EQ(Fill({{8, 5}, {0, 5}, {-2, 5}, {0, 5}}), "0");
  EXPECT_EQ(log, "h5:0-8/2 ");  // flat on one row: one run in the pen
  const GfxPoint wide[4] = {{-5, -2}, {5, -2}, {5, 2}, {-5, 2}};
  const GfxPolygon unclipped{4, wide}, nopoints{4, nullptr};
  EXPECT_EQ(ScanFill(ctx, &unclipped, 0), 0);  // cuts every run itself
  EXPECT_EQ(Picture(7, 4), "11111.. 11111.. 11111.. .......");
  EXPECT_EQ(Fill({{3, 40}, {9, 40}, {5, 40}}) + Fill({{0, 0}, {4, 4}}) + Str(FillPolygon(ctx, nullptr)) + Str(FillPolygon(ctx, &nopoints)), "0141414");
  EXPECT_EQ(log, "");  // below the screen, or no polygon
  SetFillColour(ctx, 2);  // as the pen: no outline
  EXPECT_EQ(Fill({{0, 0}, {4, 3}, {8, 0}, {8, 4}, {4, 7}, {0, 4}}, 9, 8), "0 ......... 2......2. 222..222. 22222222. 22222222. .222222.. ...22.... .........");
  EXPECT_EQ(log.find(','), std::string::npos);  // runs only
  test::ArenaHog hog;  // with the arena exhausted nothing is drawn
  EXPECT_EQ(Fill({{0, 0}, {4, 0}, {4, 4}, {0, 4}}) + Str(ScanFill(ctx, &unclipped, 1)), Str(kGfxNoMemory) + Str(kGfxNoMemory));
  EXPECT_EQ(log, "");
}

}  // namespace
}  // namespace ledview
