// The playbill loader: turns the validated bytes in the store into runtime
// records, one page record per page and the area, component and element
// records of one page at a time.
#pragma once
#include <cstdint>

#include "playbill/nodes.h"

namespace ledview {

extern BillState billstate;
// 0, or the code of the first fault met by the current load.
extern int32_t loaderror;

// Load faults. A bill whose own magic is wrong fails without a code; codes
// 7, 8 and 9 are not used.
enum LoadError : int32_t {
  kLoadBadPageSize = 1,         // the bill's pagesize is out of range
  kLoadNotAPage = 2,
  kLoadPagePoolEmpty = 3,       // more than 16 pages
  kLoadBadAreas = 4,            // a page's areasize is out of range, or its first area
                                // starts outside the framebuffer
  kLoadNotAnArea = 5,
  kLoadAreaPoolEmpty = 6,       // more than 32 areas on the page
  kLoadComponentOutside = 10,   // the first component starts beyond its area
  kLoadNotAComponent = 11,
  kLoadBadComponents = 12,      // an area's or a component's componentsize is out of range,
                                // or more than 128 components on the page
  kLoadNotAnElement = 13,       // or an elemtype outside 1..7
  kLoadElementPoolEmpty = 14,   // more than 256 elements on the page
  kLoadBadObjectSize = 15,      // an element's vsobjsize is out of range
};

// The rectangle and static flag of the area whose components are loading.
struct AreaFrame {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint32_t staticflag;
};

// Renderer slots per elemtype (index 1..7), bound to the renderers when the
// library loads. A null slot leaves its elements loaded but drawn by nobody.
// The static slots serve elemtypes 1 and 2 in static areas; every other
// element takes its normal slot.
inline constexpr uint32_t kElemTypeSlots = 8;
extern ElementRenderer normalrenderers[kElemTypeSlots];
extern ElementRenderer staticrenderers[kElemTypeSlots];

// 0 on success. A failed load leaves no record taken and no string
// registered.
int32_t LoadBill(uint8_t* store);
AreaNode* LoadAreas(uint8_t* areas, int32_t length);
ComponentNode* LoadComponents(uint8_t* components, int32_t length, const AreaFrame& area);
ElementNode* LoadElements(uint8_t* elements, int32_t length, bool instatic);

// rect shrunk by a border of width b on every side; where the border does
// not fit, an empty span inside rect instead of a wrapped one.
DestRect InsetRect(DestRect rect, uint32_t b);

}  // namespace ledview
