// Playbill validation: walks the object tree of a caller's playbill before
// it is copied and loaded, printing one line for the first fault it meets.
#pragma once
#include <cstdint>

namespace ledview {

// Validation faults. The loader meets the same kinds of fault under the same
// codes, apart from an area's componentsize (12 there) and its pool faults.
enum CheckFault : int32_t {
  kCheckValid = 0,
  kCheckBadPageSize = 1,     // the bill's pagesize is out of range
  kCheckNotAPage = 2,
  kCheckBadAreas = 4,        // a page's areasize is out of range, or an area runs off the sign
  kCheckNotAnArea = 5,
  kCheckBadComponents = 10,  // an area's componentsize is out of range, or a component starts beyond its area
  kCheckNotAComponent = 11,
  kCheckBadElements = 12,    // a component's componentsize is out of range
  kCheckNotAnElement = 13,   // or an elemtype outside 1..7
  kCheckBadElement = 15,     // an element's vsobjsize is out of range, or its payload does not hold what it declares
};

// 0 when valid; -1 when the bytes are not a bill at all (no header, too long,
// wrong magic); otherwise the positive code of the first fault. Reads nothing
// outside data[0, length).
int32_t ValidatePlayBill(const uint8_t* data, int32_t length);

// True when an element's payload holds everything its renderer will read
// (leading fields, picture rows, text, strips and every frame it may draw)
// inside its own vsobjsize bytes. remaining counts from the element's first
// byte to the end of its component's elements.
bool ElementPayloadFits(uint16_t elemtype, const uint8_t* payload, uint32_t vsobjsize,
                        uint32_t remaining);

}  // namespace ledview
