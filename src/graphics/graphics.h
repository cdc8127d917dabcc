// A small 2D layer for the analog clock: a graphics context holding three
// drawing callbacks, pen and fill colours and a clip rectangle; the line and
// polygon clippers; and lines, outlines and filled polygons. It never
// addresses pixels itself: everything reaches the screen through the
// callbacks. All arithmetic is integer.
#pragma once
#include <cstdint>

namespace ledview {

struct GfxPoint {
  int16_t x;
  int16_t y;
};

struct GfxSegment {
  int16_t x0;
  int16_t y0;
  int16_t x1;
  int16_t y1;
};

struct GfxPolygon {
  uint32_t count;
  const GfxPoint* points;
};

struct GfxRect {
  int16_t x;
  int16_t y;
  int16_t width;
  int16_t height;
};

// Inclusive bounds.
struct ClipBounds {
  int16_t left;
  int16_t right;
  int16_t top;
  int16_t bottom;
};

// The screen's operations. hline lights x0 .. x1 - 1 of row y.
struct GraphicsDriver {
  void (*fillrect)(uintptr_t user, const GfxRect* rect, int32_t colour);
  void (*setpixel)(uintptr_t user, int32_t x, int32_t y, int32_t colour);
  void (*hline)(uintptr_t user, int32_t y, int32_t x0, int32_t x1, int32_t colour);
};

struct GraphicsContext {
  void (*fillrect)(uintptr_t user, const GfxRect* rect, int32_t colour);
  void (*setpixel)(uintptr_t user, int32_t x, int32_t y, int32_t colour);
  void (*hline)(uintptr_t user, int32_t y, int32_t x0, int32_t x1, int32_t colour);
  uintptr_t user;  // first argument of every callback
  uint16_t width;
  uint16_t height;
  int32_t pen;   // lines, outlines, polygons flat on one row
  int32_t fill;  // polygon interiors
  ClipBounds clip;
  uint32_t fillmode;  // 1: polygons are filled; 0: outlined only
};

// The framebuffer's context, made by Init2DEnv; null when it could not be.
extern GraphicsContext* graphicscontext;

// Fills the one static context (pen and fill -1, fillmode 0, clip = the whole
// width x height screen) and returns it; null, changing nothing, when the
// driver or one of its callbacks is missing.
GraphicsContext* CreateGraphicsContext(const GraphicsDriver* driver, uintptr_t user,
                                       uint16_t width, uint16_t height);
// Returns the previous pen colour.
int32_t SetPenColour(GraphicsContext* ctx, int32_t colour);
// Returns the new fill colour.
int32_t SetFillColour(GraphicsContext* ctx, int32_t colour);
// fillmode = 1 when mode is 1, else 0; returns the new value.
uint32_t SetFillMode(GraphicsContext* ctx, uint32_t mode);
// Narrows drawing to bounds cut to the screen and returns the bounds it
// replaces, so that a caller can keep its pixels inside its own rectangle
// and put the old bounds back afterwards.
ClipBounds SetClipBounds(GraphicsContext* ctx, ClipBounds bounds);

int32_t PointInClip(const GraphicsContext* ctx, int32_t x, int32_t y);
// A run on row y from x0 to x1, cut to the clip rectangle, through hline.
void DrawClippedHLine(const GraphicsContext* ctx, int32_t y, int32_t x0, int32_t x1,
                      int32_t colour);
// 1 with the visible part of the segment in *out, 0 when nothing is visible.
int32_t ClipLine(const GraphicsContext* ctx, const GfxSegment* in, GfxSegment* out);
// Vertices the clipped copy of a count-vertex polygon can need at most.
uint32_t ClipPolygonBound(uint32_t count);
// The polygon cut to bounds; returns the output vertex count. At most
// `capacity` vertices are written (ClipPolygonBound(count) is always
// enough).
uint32_t ClipPolygon(const ClipBounds* bounds, uint32_t count, const GfxPoint* in, GfxPoint* out,
                     uint32_t capacity);

// 1 when the segment pointer is null, else 0. Both ends are drawn, except on
// a horizontal line, whose run stops one pixel short of its right end.
int32_t DrawLine(GraphicsContext* ctx, const GfxSegment* segment);
void DrawPolyline(GraphicsContext* ctx, uint32_t count, const GfxPoint* points, int32_t closed);
// 0; 14 for a missing polygon or fewer than 3 vertices; 2 when the arena is
// exhausted.
int32_t FillPolygon(GraphicsContext* ctx, const GfxPolygon* polygon);
// Interior runs in the fill colour: 0, or 2 when the edge table cannot be
// allocated. preclipped skips the per-run clip.
int32_t ScanFill(GraphicsContext* ctx, const GfxPolygon* polygon, int32_t preclipped);

inline constexpr int32_t kGfxBadPolygon = 14;
inline constexpr int32_t kGfxNoMemory = 2;

}  // namespace ledview
