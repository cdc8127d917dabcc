#include "support/gfx_canvas.h"

#include <cstring>
#include <ostream>

#include "ledview.h"

namespace ledview::test {

namespace {

GfxCanvas* Of(uintptr_t user) { return reinterpret_cast<GfxCanvas*>(user); }

void Paint(GfxCanvas* c, int32_t x, int32_t y, int32_t colour) {
  if (x < 0 || y < 0 || x >= GfxCanvas::kWidth || y >= GfxCanvas::kHeight) {
    c->strayed = true;
    return;
  }
  c->cells[y][x] = static_cast<char>('0' + colour % 10);
}

void CanvasFillRect(uintptr_t user, const GfxRect* r, int32_t colour) {
  GfxCanvas* c = Of(user);
  c->calls.push_back({'r', r->x, r->y, r->width, r->height, colour});
  for (int32_t y = r->y; y < r->y + r->height; ++y) {
    for (int32_t x = r->x; x < r->x + r->width; ++x) Paint(c, x, y, colour);
  }
}

void CanvasSetPixel(uintptr_t user, int32_t x, int32_t y, int32_t colour) {
  GfxCanvas* c = Of(user);
  c->calls.push_back({'p', x, y, 0, 0, colour});
  Paint(c, x, y, colour);
}

void CanvasHLine(uintptr_t user, int32_t y, int32_t x0, int32_t x1, int32_t colour) {
  GfxCanvas* c = Of(user);
  c->calls.push_back({'h', y, x0, x1, 0, colour});
  for (int32_t x = x0; x < x1; ++x) Paint(c, x, y, colour);
}

}  // namespace

void PrintTo(const GfxCall& call, std::ostream* os) {
  *os << call.kind << "(" << call.a << ", " << call.b << ", " << call.c << ", " << call.d
      << "; colour " << call.colour << ")";
}

void GfxCanvas::Clear() {
  std::memset(cells, '.', sizeof cells);
  calls.clear();
  strayed = false;
}

std::string GfxCanvas::Picture(int32_t x, int32_t y, int32_t w, int32_t h) const {
  std::string out;
  for (int32_t r = y; r < y + h; ++r) {
    if (r > y) out += '\n';
    for (int32_t col = x; col < x + w; ++col) out += cells[r][col];
  }
  return out;
}

int32_t GfxCanvas::Lit() const {
  int32_t n = 0;
  for (const auto& row : cells) {
    for (char cell : row) n += cell != '.';
  }
  return n;
}

void GfxTest::SetUp() {
  ReleasePreview();
  // The engine supplies the arena that fills allocate from.
  ASSERT_EQ(InitLedConfigure(GfxCanvas::kWidth, GfxCanvas::kHeight, 2), 0);
  canvas.Clear();
  static constexpr GraphicsDriver kDriver{CanvasFillRect, CanvasSetPixel, CanvasHLine};
  ctx = CreateGraphicsContext(&kDriver, reinterpret_cast<uintptr_t>(&canvas), GfxCanvas::kWidth,
                              GfxCanvas::kHeight);
  ASSERT_NE(ctx, nullptr);
  SetPenColour(ctx, 2);
  SetFillColour(ctx, 1);
}

void GfxTest::TearDown() {
  EXPECT_FALSE(canvas.strayed) << "a callback reached outside the screen";
  ReleasePreview();
}

}  // namespace ledview::test
