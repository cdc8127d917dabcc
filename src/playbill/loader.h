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
ComponentNode* LoadComponents(uint8_t* components, int32_t length);
ElementNode* LoadElements(uint8_t* elements, int32_t length);

// rect shrunk by a border of width b on every side; where the border does
// not fit, an empty span inside rect instead of a wrapped one.
DestRect InsetRect(DestRect rect, uint32_t b);

// Forgets the loader's working values (the area being loaded).
void ResetLoader();

// Text of value in radix 2..16 (others mean 10), built into one static
// buffer that the next call overwrites; length excludes the final zero.
const char* IntToText(int32_t value, uint32_t radix, int32_t* length);

}  // namespace ledview
