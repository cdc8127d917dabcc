// Angular sweeps: lines through a fixed point turn 5 degrees per step and
// everything they have passed is drawn, in 2-pixel strips whose length is a
// distance times the tangent of the angle (the table T). The fan opens from
// the top, the twin sweep turns one line in each half, and the two clock
// sweeps turn a hand once round the centre.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kAngleStep = 5;
constexpr int32_t kFanStart = 5;
constexpr int32_t kFanEnd = 185;
constexpr int32_t kTwinEnd = 90;
constexpr int32_t kTwinLast = 85;
constexpr int32_t kClockEnd = 365;
constexpr int32_t kAxisBandAngle = 10;  // the bands next to an axis use TangentTable[10]

// First call of the twin and clock sweeps: the later steps wait a band delay,
// the first one a first delay.
int32_t SetUpSweep(ElementNode* e, const RevealArea& a, int32_t end) {
  if (KeepVisibleSize(e, a) == nullptr) return ShowWithoutBuffer(a);
  e->extent = end;
  e->stepDelay = BandDelay[a.speed];
  return FirstDelay[a.speed];
}

int32_t TwinSetUp(ElementNode* e, const RevealArea& a, int32_t) { return SetUpSweep(e, a, kTwinEnd); }
int32_t ClockSetUp(ElementNode* e, const RevealArea& a, int32_t) { return SetUpSweep(e, a, kClockEnd); }

// Two lines through the centre start pointing up and turn outward and down
// until they meet pointing down; the region above them is drawn.
int32_t FanSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  if (KeepVisibleSize(e, a) == nullptr) return ShowWithoutBuffer(a);
  e->step = kFanStart;
  e->extent = kFanEnd;
  e->stepDelay = FirstDelay[a.speed];
  return e->stepDelay;
}

int32_t FanStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t angle = e->step;
  if (angle >= e->extent) return -1;
  const int32_t w = size.vw, h = size.vh;
  const int32_t cx = w >> 1, cy = h >> 1;
  const int32_t ow = w & 1, oh = h & 1;
  if (angle < 90) {
    for (int32_t row = 0; row <= cy; ++row) {
      const int32_t half = std::min(Reach(row, angle), cx);
      DrawPart(a, cx - half, cy - row, 2 * half + ow, 1);
    }
  } else if (angle == 90) {
    const int32_t band = std::min(Reach(cy, kAxisBandAngle), cy);
    DrawPart(a, 0, cy - band, w, band);
  } else if (angle < 180) {
    for (int32_t column = 0; column <= cx; ++column) {
      const int32_t depth = std::min(Reach(column, angle - 90), cy) + oh;
      DrawPart(a, cx + column - 1, cy, 1 + ow, depth);
      DrawPart(a, cx - column, cy, 1, depth);
    }
  } else {
    DrawWhole(a);
  }
  e->step = angle + kAngleStep;
  return e->stepDelay;
}

// Each half of the image is revealed from the top by a line through the
// half's top-left corner, turning from horizontal to vertical.
int32_t TwinStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t angle = e->step;
  if (angle >= e->extent || angle < 0) return ShowAndFinish(a);
  const int32_t w = size.vw, h = size.vh;
  const int32_t half = w >> 1;
  const int32_t ow = w & 1;
  const int32_t pair = 2 + ow;
  for (int32_t i = 0; i < half; i += 2) {
    DrawPart(a, half + i - ow, 0, pair, std::min(Reach(i, angle), h));
    const int32_t left = std::max(half - i - 2, 0);
    DrawPart(a, left, 0, pair, std::min(Reach(left, angle), h));
  }
  if (angle == kTwinLast) {
    DrawPart(a, 0, 0, 2, h);
    DrawPart(a, half, 0, 2, h);
  }
  e->step = angle + kAngleStep;
  return e->stepDelay;
}

// A hand through the centre points at 12 o'clock and turns clockwise.
int32_t ClockStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t angle = e->step;
  if (angle >= e->extent || angle < 0) return ShowAndFinish(a);
  const int32_t w = size.vw, h = size.vh;
  const int32_t cx = w >> 1, cy = h >> 1;
  const int32_t ow = w & 1, oh = h & 1;
  if (angle == 90) {
    const int32_t band = std::min(Reach(cx, kAxisBandAngle), cy);
    DrawPart(a, cx, cy - band, cx + ow, band);
  } else if (angle == 180) {
    const int32_t band = std::min(Reach(cy, kAxisBandAngle), cx);
    DrawPart(a, cx, cy, band, cy + oh);
  } else if (angle == 270) {
    const int32_t band = std::min(Reach(cx, kAxisBandAngle), cy);
    DrawPart(a, 0, cy, cx, band);
  } else if (angle == 360) {
    const int32_t band = std::min(Reach(cy, kAxisBandAngle), cx);
    DrawPart(a, cx - band, 0, band, cy);
  } else if (angle < 90) {  // upper right: rows above the centre, from cx
    for (int32_t i = 0; i < cy; i += 2) {
      DrawPart(a, cx, std::max(cy - i - 2, 0), std::min(Reach(i, angle), cx) + ow, 2);
    }
  } else if (angle < 180) {  // lower right: columns right of cx, from cy down
    for (int32_t i = 0; i < cx; i += 2) {
      DrawPart(a, cx + i, cy, 2 + ow, std::min(Reach(i, angle - 90), cy) + oh);
    }
  } else if (angle < 270) {  // lower left: rows below cy, ending at cx
    for (int32_t i = 0; i < cy; i += 2) {
      const int32_t length = std::min(Reach(i, angle - 180), cx);
      DrawPart(a, cx - length, cy + i, length, 2 + oh);
    }
  } else if (angle < 360) {  // upper left: columns left of cx, ending at cy
    for (int32_t i = 0; i < cx; i += 2) {
      const int32_t length = std::min(Reach(i, angle - 270), cy);
      const int32_t from = std::max(cx - i - 2, 0);
      DrawPart(a, from, cy - length, cx - i - from, length);
    }
  }
  e->step = angle + kAngleStep;
  return e->stepDelay;
}

// The hand points at 3 o'clock and turns anticlockwise.
int32_t ReverseClockStep(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t) {
  const int32_t angle = e->step;
  if (angle >= e->extent || angle < 0) return ShowAndFinish(a);
  const int32_t w = size.vw, h = size.vh;
  const int32_t cx = w >> 1, cy = h >> 1;
  const int32_t ow = w & 1, oh = h & 1;
  if (angle == 90) {
    const int32_t band = std::min(Reach(cy, kAxisBandAngle), cx);
    DrawPart(a, cx, 0, band, cy);
  } else if (angle == 180) {
    const int32_t band = std::min(Reach(cx, kAxisBandAngle), cy);
    DrawPart(a, 0, cy - band, cx, band);
  } else if (angle == 270) {
    const int32_t band = std::min(Reach(cy, kAxisBandAngle), cx);
    DrawPart(a, cx - band, cy, band, cy + oh);
  } else if (angle == 360) {
    const int32_t band = std::min(Reach(cx, kAxisBandAngle), cy);
    DrawPart(a, cx, cy, cx + ow, band);
  } else if (angle < 90) {  // upper right: columns right of cx, ending at cy
    for (int32_t i = 0; i < cx; i += 2) {
      const int32_t length = std::min(Reach(i, angle), cy);
      DrawPart(a, cx + i, cy - length, 2 + ow, length);
    }
  } else if (angle < 180) {  // upper left: rows up from cy, ending at cx
    // Strips are two rows high until one starts on row 3; from there they
    // are three rows high, so that with an odd cy the last one ends on row 0.
    int32_t rows = 2;
    for (int32_t i = 0; i <= cy; i += rows) {
      if (cy - i - 2 == 1) rows = cy - i;
      const int32_t length = std::min(Reach(i, angle - 90), cx);
      DrawPart(a, cx - length, cy - i, length, rows);
    }
  } else if (angle < 270) {  // lower left: columns left of cx, from cy down
    for (int32_t i = 0; i < cx; i += 2) {
      const int32_t length = std::min(Reach(i, angle - 180), cy) + oh;
      const int32_t from = std::max(cx - i - 2, 0);
      DrawPart(a, from, cy, cx - i - from, length);
    }
  } else if (angle < 360) {  // lower right: rows below cy, from cx
    for (int32_t i = 0; i < cy; i += 2) {
      DrawPart(a, cx, cy + i, std::min(Reach(i, angle - 270), cx) + ow, 2 + oh);
    }
  }
  e->step = angle + kAngleStep;
  return e->stepDelay;
}

}  // namespace

int32_t FanSweep(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, FanSetUp, FanStep); }
int32_t TwinSweep(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, TwinSetUp, TwinStep); }
int32_t ClockSweep(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, ClockSetUp, ClockStep); }
int32_t ClockSweepReverse(ElementNode* e, DestRect* r) { return DriveSizedReveal(e, r, ClockSetUp, ReverseClockStep); }

}  // namespace ledview
