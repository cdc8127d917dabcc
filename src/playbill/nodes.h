// Runtime records of a loaded playbill. They point into the playbill store
// and come from the record pools; every record is zero when taken apart from
// its first word, which the loader always sets.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "effects/element.h"
#include "format/playbill.h"

namespace ledview {

struct AreaNode;
struct ComponentNode;

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

inline constexpr uint32_t kPagePoolCount = kMaxPages;
inline constexpr uint32_t kAreaPoolCount = kMaxAreas;
inline constexpr uint32_t kComponentPoolCount = kMaxComponents;
inline constexpr uint32_t kElementPoolCount = kMaxElements;

}  // namespace ledview
