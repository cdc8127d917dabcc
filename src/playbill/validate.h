// Playbill validation: walks the object tree of a caller's playbill before
// it is copied and loaded, printing one line for the first fault it meets.
#pragma once
#include <cstdint>

namespace ledview {

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
