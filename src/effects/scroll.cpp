// Endless scrolls (entry slots 45 to 52). They never report finished: at the
// end of a pass they reset step and extent and the next call starts the next
// pass, so the element stays in its entry phase for as long as it is shown.
#include <algorithm>

#include "effects/effectarea.h"
#include "effects/effects.h"
#include "effects/motion.h"

namespace ledview {

namespace {

void EndPass(ElementNode* e) {
  e->step = 0;
  e->extent = 0;
}

// Slots 45 to 48: the image crosses the whole rectangle, keeping to its top
// (left) edge, and leaves blank behind it. The first call of a pass only
// clears a strip when the image is narrower than the rectangle across the
// motion, so that the margin beside the image is blank from the start.
int32_t ScrollThrough(ElementNode* e, DestRect* r, const Straight& m) {
  EffectCall c;
  if (!BeginEffect(e, r, &c) || c.iw == 0 || c.ih == 0) return -1;
  e->stepDelay = FirstDelay[c.speed];
  if (e->extent == 0) {
    e->extent = ImageAlong(c, m) + AreaAlong(c, m);
    e->step = 0;
    if (ImageAcross(c, m) < AreaAcross(c, m)) StraightPush(c, m, c.s);
    return e->stepDelay;
  }
  const int32_t extent = e->extent;
  const int32_t p = e->step;
  if (p < 0 || p >= extent) {
    EndPass(e);
    return e->stepDelay;
  }
  const int32_t q = std::min(p + c.s, extent);
  StraightStep(c, m, p, q);
  if (q >= extent) {
    EndPass(e);
  } else {
    e->step = q;
  }
  return e->stepDelay;
}

// Slots 49 to 52: the motion of slides 8 to 11 without an end; each pass
// travels the image's length, so copies of the image follow one another
// without a gap.
int32_t ScrollLoop(ElementNode* e, DestRect* r, const Straight& m) {
  EffectCall c;
  if (!BeginEffect(e, r, &c) || c.iw == 0 || c.ih == 0) return -1;
  const int32_t il = ImageAlong(c, m);
  // Every step waits FirstDelay, including the steps of an image too short
  // to move (a delay left over by an earlier effect, 0 above all, would
  // otherwise end an effect that never ends).
  e->stepDelay = FirstDelay[c.speed];
  if (il <= c.s) {
    AreaBlit(c, 0, 0, c.a.x, c.a.y, c.a.w, c.a.h);
    EndPass(e);
    return e->stepDelay;
  }
  int32_t p = e->step;
  if (e->extent == 0 || p < 0 || p >= e->extent) {
    e->extent = il;
    p = 0;
  }
  const int32_t q = std::min(p + c.s, il);
  StraightStep(c, m, p, q);
  if (q >= il) {
    EndPass(e);
  } else {
    e->step = q;
  }
  return e->stepDelay;
}

}  // namespace

int32_t ScrollThroughRight(ElementNode* e, DestRect* r) { return ScrollThrough(e, r, {false, true, false}); }
int32_t ScrollThroughLeft(ElementNode* e, DestRect* r) { return ScrollThrough(e, r, {false, false, false}); }
int32_t ScrollThroughDown(ElementNode* e, DestRect* r) { return ScrollThrough(e, r, {true, true, false}); }
int32_t ScrollThroughUp(ElementNode* e, DestRect* r) { return ScrollThrough(e, r, {true, false, false}); }

int32_t ScrollLoopRight(ElementNode* e, DestRect* r) { return ScrollLoop(e, r, {false, true, true}); }
int32_t ScrollLoopLeft(ElementNode* e, DestRect* r) { return ScrollLoop(e, r, {false, false, true}); }
int32_t ScrollLoopDown(ElementNode* e, DestRect* r) { return ScrollLoop(e, r, {true, true, true}); }
int32_t ScrollLoopUp(ElementNode* e, DestRect* r) { return ScrollLoop(e, r, {true, false, true}); }

}  // namespace ledview
