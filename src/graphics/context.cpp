// The graphics context, its setters and the two clippers.
#include <algorithm>

#include "graphics/graphics.h"

namespace ledview {

GraphicsContext* graphicscontext = nullptr;

namespace {

GraphicsContext context;

// A clip parameter t = num / den with den > 0.
struct Fraction {
  int64_t num;
  int64_t den;
};

bool Less(Fraction a, Fraction b) { return a.num * b.den < b.num * a.den; }

// round(t x d), halves away from zero.
int64_t Scale(Fraction t, int64_t d) {
  const int64_t product = 2 * t.num * d;
  const int64_t nudge = product < 0 ? -t.den : t.den;
  return (product + nudge) / (2 * t.den);
}

// The re-entrant Sutherland-Hodgman pipeline: a vertex goes through the
// left, right, top and bottom stages in turn, each emitting what lies on its
// inner side and where the outline crosses its boundary.
struct PolygonClipper {
  enum Side { kLeft, kRight, kTop, kBottom, kDone };
  struct Stage {
    GfxPoint first;
    GfxPoint prev;
    bool started;
  };

  ClipBounds bounds;
  GfxPoint* out;
  uint32_t capacity;
  uint32_t count;
  Stage stages[4];

  bool Inside(int side, GfxPoint p) const {
    switch (side) {
      case kLeft:
        return p.x >= bounds.left;
      case kRight:
        return p.x <= bounds.right;
      case kTop:
        return p.y >= bounds.top;
      default:
        return p.y <= bounds.bottom;
    }
  }

  // Where the segment from a to c meets the side's boundary; a and c lie on
  // different sides of it, so the divisor is never 0.
  GfxPoint Cross(int side, GfxPoint a, GfxPoint c) const {
    const int64_t x0 = a.x;
    const int64_t y0 = a.y;
    const int64_t x = c.x;
    const int64_t y = c.y;
    if (side == kLeft || side == kRight) {
      const int64_t edge = side == kLeft ? bounds.left : bounds.right;
      int64_t yy = y0;
      if (y != y0) yy = y0 + ((x - x0) / 2 + (edge - x0) * (y - y0)) / (x - x0);
      return GfxPoint{static_cast<int16_t>(edge), static_cast<int16_t>(yy)};
    }
    const int64_t edge = side == kTop ? bounds.top : bounds.bottom;
    int64_t xx = x0;
    if (x != x0) xx = x0 + ((y - y0) / 2 + (edge - y0) * (x - x0)) / (y - y0);
    return GfxPoint{static_cast<int16_t>(xx), static_cast<int16_t>(edge)};
  }

  void Put(int side, GfxPoint p) {
    if (side == kDone) {
      if (count < capacity) out[count] = p;
      ++count;
      return;
    }
    Stage& st = stages[side];
    if (!st.started) {
      st.first = p;
      st.started = true;
    } else if (Inside(side, st.prev) != Inside(side, p)) {
      Put(side + 1, Cross(side, st.prev, p));
    }
    st.prev = p;
    if (Inside(side, p)) Put(side + 1, p);
  }

  void Close() {
    for (int side = kLeft; side < kDone; ++side) {
      const Stage& st = stages[side];
      if (st.started && Inside(side, st.prev) != Inside(side, st.first)) {
        Put(side + 1, Cross(side, st.prev, st.first));
      }
    }
  }
};

}  // namespace

GraphicsContext* CreateGraphicsContext(const GraphicsDriver* driver, uintptr_t user,
                                       uint16_t width, uint16_t height) {
  if (driver == nullptr || driver->fillrect == nullptr || driver->setpixel == nullptr ||
      driver->hline == nullptr) {
    return nullptr;
  }
  GraphicsContext& c = context;
  c.fillrect = driver->fillrect;
  c.setpixel = driver->setpixel;
  c.hline = driver->hline;
  c.user = user;
  c.width = width;
  c.height = height;
  c.pen = -1;
  c.fill = -1;
  c.clip = ClipBounds{0, static_cast<int16_t>(width - 1), 0, static_cast<int16_t>(height - 1)};
  c.fillmode = 0;
  return &c;
}

int32_t SetPenColour(GraphicsContext* ctx, int32_t colour) {
  const int32_t previous = ctx->pen;
  ctx->pen = colour;
  return previous;
}

int32_t SetFillColour(GraphicsContext* ctx, int32_t colour) {
  ctx->fill = colour;
  return colour;
}

uint32_t SetFillMode(GraphicsContext* ctx, uint32_t mode) {
  ctx->fillmode = mode == 1 ? 1 : 0;
  return ctx->fillmode;
}

ClipBounds SetClipBounds(GraphicsContext* ctx, ClipBounds b) {
  const ClipBounds previous = ctx->clip;
  const int32_t right = static_cast<int32_t>(ctx->width) - 1;
  const int32_t bottom = static_cast<int32_t>(ctx->height) - 1;
  ctx->clip = ClipBounds{static_cast<int16_t>(std::max<int32_t>(b.left, 0)),
                         static_cast<int16_t>(std::min<int32_t>(b.right, right)),
                         static_cast<int16_t>(std::max<int32_t>(b.top, 0)),
                         static_cast<int16_t>(std::min<int32_t>(b.bottom, bottom))};
  return previous;
}

int32_t PointInClip(const GraphicsContext* ctx, int32_t x, int32_t y) {
  const ClipBounds& c = ctx->clip;
  return x >= c.left && x <= c.right && y >= c.top && y <= c.bottom ? 1 : 0;
}

void DrawClippedHLine(const GraphicsContext* ctx, int32_t y, int32_t x0, int32_t x1,
                      int32_t colour) {
  const ClipBounds& c = ctx->clip;
  if (y < c.top || y > c.bottom) return;
  x0 = std::max<int32_t>(x0, c.left);
  x1 = std::min<int32_t>(x1, c.right);
  if (x0 <= x1) ctx->hline(ctx->user, y, x0, x1, colour);
}

// Liang-Barsky with the parameters held as exact fractions.
int32_t ClipLine(const GraphicsContext* ctx, const GfxSegment* in, GfxSegment* out) {
  const ClipBounds& c = ctx->clip;
  const int64_t x0 = in->x0;
  const int64_t y0 = in->y0;
  const int64_t dx = in->x1 - x0;
  const int64_t dy = in->y1 - y0;
  Fraction enter{0, 1};
  Fraction leave{1, 1};
  const int64_t p[4] = {-dx, dx, -dy, dy};
  const int64_t q[4] = {x0 - c.left, c.right - x0, y0 - c.top, c.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return 0;
      continue;
    }
    const Fraction r = p[i] < 0 ? Fraction{-q[i], -p[i]} : Fraction{q[i], p[i]};
    if (p[i] < 0) {
      if (Less(leave, r)) return 0;
      if (Less(enter, r)) enter = r;
    } else {
      if (Less(r, enter)) return 0;
      if (Less(r, leave)) leave = r;
    }
  }
  GfxSegment s = *in;
  if (Less(leave, Fraction{1, 1})) {
    s.x1 = static_cast<int16_t>(x0 + Scale(leave, dx));
    s.y1 = static_cast<int16_t>(y0 + Scale(leave, dy));
  }
  if (enter.num != 0) {
    s.x0 = static_cast<int16_t>(x0 + Scale(enter, dx));
    s.y0 = static_cast<int16_t>(y0 + Scale(enter, dy));
  }
  *out = s;
  return 1;
}

// Each stage emits at most one vertex more per vertex it lets through after
// one it cut away: n vertices become at most n + n / 2.
uint32_t ClipPolygonBound(uint32_t count) {
  uint64_t bound = count;
  for (int stage = 0; stage < 4; ++stage) bound += bound / 2;
  return bound > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bound);
}

uint32_t ClipPolygon(const ClipBounds* bounds, uint32_t count, const GfxPoint* in, GfxPoint* out,
                     uint32_t capacity) {
  if (bounds == nullptr || in == nullptr || count == 0) return 0;
  PolygonClipper clipper{*bounds, out, out != nullptr ? capacity : 0, 0, {}};
  for (uint32_t i = 0; i < count; ++i) clipper.Put(PolygonClipper::kLeft, in[i]);
  clipper.Close();
  return std::min(clipper.count, clipper.capacity);
}

}  // namespace ledview
