// The sign a playbill was made for, read off its content when nothing
// better says it: every command that takes a playbill without a sign uses it.
#pragma once
#include <cstdint>
#include <vector>

#include "ledview/describe.h"

namespace ledview::tool {

// The sign a playbill was most likely made for, as it records none: the
// union of its areas, and the colour mode of its richest picture format and
// colours (blue or four-bit pictures need mode 4, green or two-bit mode 2).
// False when the bytes are not a readable playbill.
bool SignOfBill(const std::vector<uint8_t>& bytes, SignSize* sign);

}  // namespace ledview::tool
