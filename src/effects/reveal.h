// What the in-place reveal effects share: the rectangle and the part of the
// image that can show in it, and drawing that never leaves the rectangle.
//
// Positions handed to the drawing helpers are relative to the rectangle's
// top-left corner, so image pixel (u, v) drawn "in place" lands on
// (x + u, y + v). Every helper cuts its strip to the rectangle first; the
// drawing operation then cuts it to the image. An effect may therefore pass
// strips that stick out on any side.
#pragma once
#include <cstddef>
#include <cstdint>

#include "effects/effectarea.h"
#include "effects/effects.h"

namespace ledview {

struct RevealArea {
  EffectCall call;  // the clipped drawing every reveal goes through
  const Bitmap* image;
  int32_t x;   // rectangle, cut to the framebuffer
  int32_t y;
  int32_t w;
  int32_t h;
  int32_t vw;  // visible size: the image's top-left part that fits, W' x H'
  int32_t vh;
  uint32_t speed;
};

// False when there is nothing an effect could work with (no element, header
// or rectangle); the effect then reports itself finished.
bool RevealBegin(const ElementNode* e, const DestRect* r, RevealArea* a);

// Image part (u, v, w, h) drawn in place.
void DrawPart(const RevealArea& a, int32_t u, int32_t v, int32_t w, int32_t h);
// Image part from (su, sv) drawn at (du, dv) of the rectangle.
void DrawPartAt(const RevealArea& a, int32_t su, int32_t sv, int32_t du, int32_t dv, int32_t w, int32_t h);
// (u, v, w, h) of the rectangle set to colour 0.
void ClearPart(const RevealArea& a, int32_t u, int32_t v, int32_t w, int32_t h);

// The whole image: source (0, 0), the rectangle's size, which the drawing
// operation cuts to the visible part.
inline void DrawWhole(const RevealArea& a) { DrawPart(a, 0, 0, a.w, a.h); }
inline void ClearWhole(const RevealArea& a) { ClearPart(a, 0, 0, a.w, a.h); }

// The end of an effect: everything shown, finished.
inline int32_t ShowAndFinish(const RevealArea& a) {
  DrawWhole(a);
  return -1;
}

// An effect without its work buffer falls back to showing the image at once;
// 0 tells the renderer it is finished.
inline int32_t ShowWithoutBuffer(const RevealArea& a) {
  DrawWhole(a);
  return 0;
}

// (d x TangentTable[k]) >> 15: about d x tan((k + 1) degrees) for a length d >= 0.
inline int32_t Reach(int32_t d, int32_t k) {
  if (k < 0) k = 0;
  if (k > 90) k = 90;
  const int64_t product = static_cast<int64_t>(d) * TangentTable[k];
  const int64_t reach = product >> 15;
  return reach > INT32_MAX ? INT32_MAX : static_cast<int32_t>(reach);
}

// A work buffer of n bytes from the arena, stored in the element; null when
// the arena has no room.
void* TakeWorkBuffer(ElementNode* e, size_t n);

// The visible size that the angular and outline effects keep for their later
// steps (two i32: W', H').
struct VisibleSize {
  int32_t vw;
  int32_t vh;
};
VisibleSize* KeepVisibleSize(ElementNode* e, const RevealArea& a);

// An in-place reveal is a set-up, called while extent is 0, and a step,
// called on every later call. Both are handed the area and the effect's
// variant (a direction or a corner, for the effects that come in several).
// The set-up sets extent and returns the first wait, or returns 0 or less
// when the effect is over at once.
using RevealSetUp = int32_t (*)(ElementNode* e, const RevealArea& a, int32_t variant);
using RevealStep = int32_t (*)(ElementNode* e, const RevealArea& a, int32_t variant);
// Steps of the effects whose set-up took a work buffer, handed the buffer or
// the visible size kept in it.
using RevealBufferStep = int32_t (*)(ElementNode* e, const RevealArea& a, void* buffer, int32_t variant);
using RevealSizedStep = int32_t (*)(ElementNode* e, const RevealArea& a, const VisibleSize& size, int32_t variant);

// The variant of the effects that come in a column and a row version.
inline constexpr int32_t kColumns = 0;
inline constexpr int32_t kRows = 1;

// One call of a reveal: the set-up or the step, or -1 when there is nothing
// to work with. The buffer and sized drivers show the image at once, and
// finish, when a later call finds no work buffer.
int32_t DriveReveal(ElementNode* e, const DestRect* r, RevealSetUp setUp, RevealStep step, int32_t variant = 0);
int32_t DriveBufferReveal(ElementNode* e, const DestRect* r, RevealSetUp setUp, RevealBufferStep step,
                          int32_t variant = 0);
int32_t DriveSizedReveal(ElementNode* e, const DestRect* r, RevealSetUp setUp, RevealSizedStep step,
                         int32_t variant = 0);

// The usual set-up: a first delay before every step and `end` as the
// extent; with nothing to reveal (end 0) the image shows and the effect ends.
int32_t SetUpExtent(ElementNode* e, const RevealArea& a, int32_t end);
// The same, keeping the visible size; without room for it the image shows
// at once.
int32_t SetUpKeptExtent(ElementNode* e, const RevealArea& a, int32_t end);

}  // namespace ledview
