// Runtime records of a loaded playbill. They point into the playbill store
// and come from the record pools; every record is zero when taken apart from
// its first word, which the loader always sets.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"

namespace ledview {

struct ElementNode;
struct AreaNode;
struct ComponentNode;

// Result: 0 carry on; n > 0 finished after n seconds; n < 0 finished after
// -n action ticks. A null rect is the release call.
using ElementRenderer = int32_t (*)(ElementNode* element, DestRect* rect);

struct PageNode {
  uint32_t flags;
  uint8_t* header;
  AreaNode* areas;
  PageNode* next;
};

struct AreaNode {
  uint32_t flags;
  uint8_t* header;
  ComponentNode* components;
  AreaNode* next;
};

struct ComponentNode {
  uint32_t flags;  // bit 1: the current element has finished
  uint8_t* header;
  DestRect outer;
  DestRect inner;
  BorderPainter painter;
  uintptr_t phase;
  ElementNode* current;
  ElementNode* first;
  ComponentNode* next;
};

// Handed to every renderer and effect. The words after render belong to the
// renderer of the element's type and the effects it drives.
struct ElementNode {
  uint32_t flags;  // bit 0: run request; other bits belong to the renderer
  uint8_t* header;
  uint8_t* payload;
  int32_t timerstate;
  uint32_t exitPhase;
  ElementRenderer render;
  uint32_t step;
  uint32_t extent;
  uint32_t stepDelay;
  void* workBuffer;
  uint32_t entryIndex;
  uint32_t exitIndex;
  uint32_t pagebytes;  // elemtype 7: one page's bytes
  Bitmap image;
  uint32_t strversion;  // elemtype 2: live string version; elemtype 7: current page
  void* curtxtimg;      // arena block freed by the scheduler at page change and stop
  uintptr_t words[6];
  ElementNode* next;
};

// The loaded playbill as a whole.
struct BillState {
  uint32_t flags;  // bit 3: the current page's play time is over
  DestRect rect;   // the whole sign, shrunk by the page border
  BorderPainter painter;
  uintptr_t phase;
  uint8_t* bill;
  PageNode* current;  // null until the first scheduler step
  PageNode* first;
};

inline constexpr uint32_t kPagePoolCount = 16;
inline constexpr uint32_t kAreaPoolCount = 32;
inline constexpr uint32_t kComponentPoolCount = 128;
inline constexpr uint32_t kElementPoolCount = 256;

}  // namespace ledview
