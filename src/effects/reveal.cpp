#include "effects/reveal.h"

#include <algorithm>
#include <climits>

#include "memory/arena.h"

namespace ledview {

namespace {

// Rectangle-relative positions as area coordinates; strips that stick out
// far enough to leave 32 bits are cut by the area anyway.
int32_t AreaCoordinate(int32_t origin, int32_t offset) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{origin} + offset, INT32_MIN, INT32_MAX));
}

// The opening of every reveal call: false when the call ends here, with its
// result in *result (nothing to work with, or the first call, which sets the
// effect up); true for a later step, with the area filled in.
bool LaterStep(ElementNode* e, const DestRect* r, RevealSetUp setUp, int32_t variant, RevealArea* a,
               int32_t* result) {
  if (!RevealBegin(e, r, a)) {
    *result = -1;
    return false;
  }
  if (e->extent == 0) {
    *result = setUp(e, *a, variant);
    return false;
  }
  return true;
}

const VisibleSize* KeptSize(const ElementNode* e) { return static_cast<const VisibleSize*>(e->workBuffer); }

}  // namespace

bool RevealBegin(const ElementNode* e, const DestRect* r, RevealArea* a) {
  if (e == nullptr || r == nullptr || e->header == nullptr) return false;
  BeginEffect(e, r, &a->call);
  a->image = &e->image;
  a->x = a->call.a.x;
  a->y = a->call.a.y;
  a->w = a->call.a.w;
  a->h = a->call.a.h;
  a->vw = std::min(a->call.iw, a->w);
  a->vh = a->call.iw > 0 ? std::min(a->call.ih, a->h) : 0;
  a->speed = a->call.speed;
  return true;
}

void DrawPartAt(const RevealArea& a, int32_t su, int32_t sv, int32_t du, int32_t dv, int32_t w, int32_t h) {
  AreaBlit(a.call, su, sv, AreaCoordinate(a.x, du), AreaCoordinate(a.y, dv), w, h);
}

void DrawPart(const RevealArea& a, int32_t u, int32_t v, int32_t w, int32_t h) { DrawPartAt(a, u, v, u, v, w, h); }

void ClearPart(const RevealArea& a, int32_t u, int32_t v, int32_t w, int32_t h) {
  AreaClear(a.call.a, AreaCoordinate(a.x, u), AreaCoordinate(a.y, v), w, h);
}

void* TakeWorkBuffer(ElementNode* e, size_t n) {
  void* block = ArenaAlloc(n);
  if (block != nullptr) e->workBuffer = block;
  return block;
}

VisibleSize* KeepVisibleSize(ElementNode* e, const RevealArea& a) {
  auto* size = static_cast<VisibleSize*>(TakeWorkBuffer(e, sizeof(VisibleSize)));
  if (size != nullptr) *size = VisibleSize{a.vw, a.vh};
  return size;
}

int32_t DriveReveal(ElementNode* e, const DestRect* r, RevealSetUp setUp, RevealStep step, int32_t variant) {
  RevealArea a;
  int32_t result = 0;
  if (!LaterStep(e, r, setUp, variant, &a, &result)) return result;
  return step(e, a, variant);
}

int32_t DriveBufferReveal(ElementNode* e, const DestRect* r, RevealSetUp setUp, RevealBufferStep step,
                          int32_t variant) {
  RevealArea a;
  int32_t result = 0;
  if (!LaterStep(e, r, setUp, variant, &a, &result)) return result;
  if (e->workBuffer == nullptr) return ShowWithoutBuffer(a);
  return step(e, a, e->workBuffer, variant);
}

int32_t DriveSizedReveal(ElementNode* e, const DestRect* r, RevealSetUp setUp, RevealSizedStep step,
                         int32_t variant) {
  RevealArea a;
  int32_t result = 0;
  if (!LaterStep(e, r, setUp, variant, &a, &result)) return result;
  const VisibleSize* size = KeptSize(e);
  if (size == nullptr) return ShowWithoutBuffer(a);
  return step(e, a, *size, variant);
}

int32_t SetUpExtent(ElementNode* e, const RevealArea& a, int32_t end) {
  e->stepDelay = FirstDelay[a.speed];
  if (end == 0) return ShowAndFinish(a);
  e->extent = end;
  return e->stepDelay;
}

int32_t SetUpKeptExtent(ElementNode* e, const RevealArea& a, int32_t end) {
  e->stepDelay = FirstDelay[a.speed];
  if (end == 0) return ShowAndFinish(a);
  if (KeepVisibleSize(e, a) == nullptr) return ShowWithoutBuffer(a);
  e->extent = end;
  return e->stepDelay;
}

}  // namespace ledview
