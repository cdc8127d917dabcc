// Lines, outlines and filled polygons on a graphics context.
#include <cstring>
#include <utility>

#include "graphics/graphics.h"
#include "memory/arena.h"

namespace ledview {

namespace {

void Plot(const GraphicsContext* ctx, int32_t x, int32_t y, bool preclipped) {
  if (preclipped || PointInClip(ctx, x, y)) ctx->setpixel(ctx->user, x, y, ctx->pen);
}

// Bresenham from (x, y), both ends drawn: `major` steps along the major
// axis (x when xmajor) by +1, and the minor coordinate by minorstep.
void Walk(const GraphicsContext* ctx, int32_t x, int32_t y, int32_t major, int32_t minor,
          bool xmajor, int32_t minorstep, bool preclipped) {
  int32_t d = 2 * minor - major;
  for (int32_t i = 0; i <= major; ++i) {
    Plot(ctx, x, y, preclipped);
    if (d >= 0) {
      if (xmajor) {
        y += minorstep;
      } else {
        x += minorstep;
      }
      d += 2 * (minor - major);
    } else {
      d += 2 * minor;
    }
    if (xmajor) {
      ++x;
    } else {
      ++y;
    }
  }
}

// Endpoints ordered by x, then by y.
void Order(GfxSegment& s) {
  if (s.x0 > s.x1 || (s.x0 == s.x1 && s.y0 > s.y1)) {
    std::swap(s.x0, s.x1);
    std::swap(s.y0, s.y1);
  }
}

// One polygon edge while the interior is scanned.
struct Edge {
  Edge* next;
  int32_t yupper;  // last row the edge is active on
  int32_t x;
  int32_t dx;
  int32_t dy;
  int32_t err;
  int32_t dx2;
  int32_t dy2;
};

// Puts e into the list after every edge whose x is at most its own.
void InsertByX(Edge** list, Edge* e) {
  while (*list != nullptr && (*list)->x <= e->x) list = &(*list)->next;
  e->next = *list;
  *list = e;
}

// The first y different from the vertex at `from`, walking in direction
// step; the vertex's own y when all share it.
int32_t NextOtherY(const GfxPoint* p, uint32_t count, uint32_t from, int32_t step) {
  const int32_t y = p[from].y;
  uint32_t i = from;
  for (uint32_t n = 0; n < count; ++n) {
    i = step > 0 ? (i + 1) % count : (i + count - 1) % count;
    if (p[i].y != y) return p[i].y;
  }
  return y;
}

}  // namespace

int32_t DrawLine(GraphicsContext* ctx, const GfxSegment* segment) {
  if (segment == nullptr) return 1;
  GfxSegment s = *segment;
  Order(s);
  GfxSegment clipped;
  const bool preclipped = ClipLine(ctx, &s, &clipped) != 0;
  if (preclipped) {
    s = clipped;
    // Cutting a steep line can leave it vertical and upside down.
    Order(s);
  }
  const int32_t x0 = s.x0;
  const int32_t y0 = s.y0;
  const int32_t x1 = s.x1;
  const int32_t y1 = s.y1;
  const int32_t dx = x1 - x0;
  const int32_t dy = y1 - y0;

  if (dx == 0) {
    if (preclipped) {
      const GfxRect r{s.x0, s.y0, 1, static_cast<int16_t>(dy + 1)};
      ctx->fillrect(ctx->user, &r, ctx->pen);
    } else {
      for (int32_t y = y0; y <= y1; ++y) Plot(ctx, x0, y, false);
    }
    return 0;
  }
  if (dy == 0) {
    if (preclipped) {
      ctx->hline(ctx->user, y0, x0, x1, ctx->pen);
    } else {
      DrawClippedHLine(ctx, y0, x0, x1, ctx->pen);
    }
    return 0;
  }
  if (dy > 0) {
    if (dx > dy) {
      Walk(ctx, x0, y0, dx, dy, true, 1, preclipped);
    } else {
      Walk(ctx, x0, y0, dy, dx, false, 1, preclipped);
    }
  } else if (dx > -dy) {
    Walk(ctx, x0, y0, dx, -dy, true, -1, preclipped);
  } else {
    // Steep and rising: walked from the top end down.
    Walk(ctx, x1, y1, -dy, dx, false, -1, preclipped);
  }
  return 0;
}

void DrawPolyline(GraphicsContext* ctx, uint32_t count, const GfxPoint* points, int32_t closed) {
  if (points == nullptr || count == 0) return;
  for (uint32_t i = 1; i < count; ++i) {
    const GfxSegment s{points[i - 1].x, points[i - 1].y, points[i].x, points[i].y};
    DrawLine(ctx, &s);
  }
  if (closed) {
    const GfxSegment s{points[count - 1].x, points[count - 1].y, points[0].x, points[0].y};
    DrawLine(ctx, &s);
  }
}

int32_t FillPolygon(GraphicsContext* ctx, const GfxPolygon* polygon) {
  if (ctx == nullptr || polygon == nullptr || polygon->points == nullptr || polygon->count < 3) {
    return kGfxBadPolygon;
  }
  const uint32_t n = polygon->count;
  // The clipped copy can outgrow the original; room for the clipper's bound.
  const uint32_t bound = ClipPolygonBound(n);
  const size_t bytes = (static_cast<size_t>(n) + bound) * sizeof(GfxPoint);
  auto* copy = static_cast<GfxPoint*>(ArenaAlloc(bytes));
  if (copy == nullptr) return kGfxNoMemory;
  std::memcpy(copy, polygon->points, n * sizeof(GfxPoint));
  GfxPoint* clipped = copy + n;

  int32_t lowx = copy[0].x;
  int32_t highx = copy[0].x;
  bool flat = true;
  for (uint32_t i = 1; i < n; ++i) {
    lowx = copy[i].x < lowx ? copy[i].x : lowx;
    highx = copy[i].x > highx ? copy[i].x : highx;
    flat = flat && copy[i].y == copy[0].y;
  }
  if (flat) {
    DrawClippedHLine(ctx, copy[0].y, lowx, highx, ctx->pen);
    ArenaFree(copy);
    return 0;
  }

  const uint32_t m = ClipPolygon(&ctx->clip, n, copy, clipped, bound);
  int32_t result = 0;
  if (m != 0) {
    if (ctx->fillmode == 1) {
      const GfxPolygon inside{m, clipped};
      result = ScanFill(ctx, &inside, 1);
      if (result == 0 && ctx->fill != ctx->pen) DrawPolyline(ctx, n, copy, 1);
    } else {
      DrawPolyline(ctx, n, copy, 1);
    }
  }
  ArenaFree(copy);
  return result;
}

int32_t ScanFill(GraphicsContext* ctx, const GfxPolygon* polygon, int32_t preclipped) {
  if (ctx == nullptr || polygon == nullptr || polygon->points == nullptr || polygon->count == 0) {
    return 0;
  }
  const GfxPoint* p = polygon->points;
  const uint32_t count = polygon->count;
  int32_t ymin = p[0].y;
  int32_t ymax = p[0].y;
  for (uint32_t i = 1; i < count; ++i) {
    ymin = p[i].y < ymin ? p[i].y : ymin;
    ymax = p[i].y > ymax ? p[i].y : ymax;
  }
  const uint32_t rows = static_cast<uint32_t>(ymax - ymin + 1);
  // The row heads and the edge records in one block.
  const size_t bytes = rows * sizeof(Edge*) + static_cast<size_t>(count) * sizeof(Edge);
  void* block = ArenaAlloc(bytes);
  if (block == nullptr) return kGfxNoMemory;
  std::memset(block, 0, bytes);
  auto** heads = static_cast<Edge**>(block);
  auto* edges = reinterpret_cast<Edge*>(heads + rows);

  uint32_t used = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t prev = (i + count - 1) % count;
    const GfxPoint a = p[prev];
    const GfxPoint b = p[i];
    if (a.y == b.y) continue;
    // The upper end (larger y) and the direction that walks on away from
    // the edge past it.
    const bool rising = b.y > a.y;
    const GfxPoint lower = rising ? a : b;
    const GfxPoint upper = rising ? b : a;
    const int32_t beyond = NextOtherY(p, count, rising ? i : prev, rising ? 1 : -1);
    Edge* e = &edges[used++];
    // A vertex inside a monotonic chain starts the next edge, so this one
    // stops a row short; a local extreme is met by both of its edges.
    e->yupper = beyond > upper.y ? upper.y - 1 : upper.y;
    e->x = lower.x;
    e->dx = upper.x - lower.x;
    e->dy = upper.y - lower.y;
    e->err = 0;
    e->dx2 = 2 * (e->dx < 0 ? -e->dx : e->dx);
    e->dy2 = 2 * e->dy;
    InsertByX(&heads[lower.y - ymin], e);
  }

  Edge* active = nullptr;
  for (int32_t y = ymin; y <= ymax; ++y) {
    Edge* incoming = heads[y - ymin];
    while (incoming != nullptr) {
      Edge* e = incoming;
      incoming = incoming->next;
      InsertByX(&active, e);
    }
    for (Edge* e = active; e != nullptr && e->next != nullptr; e = e->next->next) {
      if (preclipped) {
        ctx->hline(ctx->user, y, e->x, e->next->x, ctx->fill);
      } else {
        DrawClippedHLine(ctx, y, e->x, e->next->x, ctx->fill);
      }
    }
    // Advance the edges that go on, drop the ones that end on this row,
    // and sort the rest by x again.
    Edge* survivors = nullptr;
    while (active != nullptr) {
      Edge* e = active;
      active = active->next;
      if (y >= e->yupper) continue;
      e->err += e->dx2;
      while (e->err >= e->dy) {
        e->err -= e->dy2;
        if (e->dx != 0) e->x += e->dx > 0 ? 1 : -1;
      }
      InsertByX(&survivors, e);
    }
    active = survivors;
  }
  ArenaFree(block);
  return 0;
}

}  // namespace ledview
