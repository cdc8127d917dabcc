// The element record every renderer and effect is handed. It lives with the
// effects, the lowest layer that works on elements; the playbill loader fills
// it and the content renderers keep their own state in it.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"

namespace ledview {

struct ElementNode;

// Result: 0 carry on; n > 0 finished after n seconds; n < 0 finished after
// -n action ticks. A null rect is the release call.
using ElementRenderer = int32_t (*)(ElementNode* element, DestRect* rect);

// Renderer state, one record per element type that keeps any.

// String texts (elemtype 2): the version of the live string on the sign.
struct StringState {
  uint32_t strversion;
};

// Paged pictures (elemtype 7): one page's bytes and the page on the sign.
struct PagedState {
  uint32_t pagebytes;
  uint32_t page;
};

// Timers (elemtype 3): the remaining seconds (counting down) or the target
// time (counting up), and the span split into days, hours, minutes and
// seconds.
struct TimerState {
  int64_t seconds;
  int64_t days;
  int64_t hours;
  int64_t minutes;
  int64_t secondsleft;
};

// Every field is zero when the loader takes the record, apart from
// timerstate (-1, or 0 for animations).
struct ElementNode {
  uint32_t flags;  // bit 0: run request; other bits belong to the renderer
  uint8_t* header;
  uint8_t* payload;
  int32_t timerstate;  // the renderer's latest timer request: 1 armed, 0 not; -1 not started
  uint32_t exitPhase;  // text renderers: 0 entering or staying, 1 leaving
  ElementRenderer render;
  // Effect progress, shared by the text renderers and the effects they drive:
  // extent 0 means "not set up yet".
  int32_t step;
  int32_t extent;
  int32_t stepDelay;
  void* workBuffer;    // the effect's arena block
  uint32_t entryIndex;  // entry slot, or start in the random order
  uint32_t exitIndex;   // start in the random exit order
  Bitmap image;         // the picture the effects bring on and take off
  void* curtxtimg;      // arena block freed by the scheduler at page change and stop
  // The largest record first, so that a zeroed element zeroes all of them.
  union {
    TimerState timer;
    StringState string;
    PagedState paged;
  } state;
  ElementNode* next;
};

}  // namespace ledview
