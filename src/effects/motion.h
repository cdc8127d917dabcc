// Straight motion along one axis, shared by the stopping slides and the
// endless scrolls: the picture inside the rectangle is pushed along with
// MoveRect and only the strip that enters at the leading edge is painted.
#pragma once
#include <cstdint>

#include "effects/effectarea.h"

namespace ledview {

struct Straight {
  bool vertical;  // along y instead of x
  bool forward;   // content moves right (down); the image enters at the left (top) edge, last column (row) first
  bool centred;   // an image narrower than the rectangle across the motion is centred; otherwise it keeps to the top (left)
};

// Length of the image and of the rectangle along the motion, and across it.
int32_t ImageAlong(const EffectCall& c, const Straight& m);
int32_t ImageAcross(const EffectCall& c, const Straight& m);
int32_t AreaAlong(const EffectCall& c, const Straight& m);
int32_t AreaAcross(const EffectCall& c, const Straight& m);

// Progress from p to q pixels of travel: pushes the content by q - p and
// paints the entering strip as the image stands at progress q (travel 0 has
// the image just outside the leading edge). Strip pixels beyond the image are
// cleared.
void StraightStep(const EffectCall& c, const Straight& m, int32_t p, int32_t q);

// Pushes the content by d and clears the d-pixel strip at the leading edge.
void StraightPush(const EffectCall& c, const Straight& m, int32_t d);

}  // namespace ledview
