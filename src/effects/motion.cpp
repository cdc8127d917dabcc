#include "effects/motion.h"

namespace ledview {

namespace {

// Framebuffer x, y of an (along, across) position.
int32_t X(const Straight& m, int32_t along, int32_t across) { return m.vertical ? across : along; }
int32_t Y(const Straight& m, int32_t along, int32_t across) { return m.vertical ? along : across; }

int32_t AlongStart(const EffectCall& c, const Straight& m) { return m.vertical ? c.a.y : c.a.x; }
int32_t AcrossStart(const EffectCall& c, const Straight& m) { return m.vertical ? c.a.x : c.a.y; }

// Moves the whole content by d along the motion (d > 0 towards the far edge
// when forward, towards the near edge otherwise).
void Push(const EffectCall& c, const Straight& m, int32_t d) {
  const int32_t a0 = AlongStart(c, m);
  const int32_t b0 = AcrossStart(c, m);
  const int32_t len = AreaAlong(c, m);
  const int32_t across = AreaAcross(c, m);
  const int32_t from = m.forward ? a0 : a0 + d;
  const int32_t to = m.forward ? a0 + d : a0;
  AreaMove(c.a, X(m, from, b0), Y(m, from, b0), X(m, to, b0), Y(m, to, b0), X(m, len - d, across),
           Y(m, len - d, across));
}

int32_t StripStart(const EffectCall& c, const Straight& m, int32_t d) {
  return m.forward ? AlongStart(c, m) : AlongStart(c, m) + AreaAlong(c, m) - d;
}

}  // namespace

int32_t ImageAlong(const EffectCall& c, const Straight& m) { return m.vertical ? c.ih : c.iw; }
int32_t ImageAcross(const EffectCall& c, const Straight& m) { return m.vertical ? c.iw : c.ih; }
int32_t AreaAlong(const EffectCall& c, const Straight& m) { return m.vertical ? c.a.h : c.a.w; }
int32_t AreaAcross(const EffectCall& c, const Straight& m) { return m.vertical ? c.a.w : c.a.h; }

void StraightStep(const EffectCall& c, const Straight& m, int32_t p, int32_t q) {
  const int32_t d = q - p;
  if (d <= 0) return;
  Push(c, m, d);
  const int32_t a0 = AlongStart(c, m);
  const int32_t b0 = AcrossStart(c, m);
  const int32_t il = ImageAlong(c, m);
  const int32_t im = ImageAcross(c, m);
  const int32_t across = AreaAcross(c, m);
  const int32_t start = StripStart(c, m, d);
  // Where the image's first pixel stands at progress q.
  const int32_t ia = m.forward ? a0 + q - il : a0 + AreaAlong(c, m) - q;
  const int32_t ib = m.centred && im < across ? b0 + ((across - im) >> 1) : b0;
  AreaPaint(c, X(m, start, b0), Y(m, start, b0), X(m, d, across), Y(m, d, across), X(m, ia, ib), Y(m, ia, ib));
}

void StraightPush(const EffectCall& c, const Straight& m, int32_t d) {
  if (d <= 0) return;
  Push(c, m, d);
  const int32_t b0 = AcrossStart(c, m);
  const int32_t start = StripStart(c, m, d);
  const int32_t across = AreaAcross(c, m);
  AreaClear(c.a, X(m, start, b0), Y(m, start, b0), X(m, d, across), Y(m, d, across));
}

}  // namespace ledview
