// The single entry through which text obtains a character's pixels.
#pragma once
#include <cstdint>

#include "content/fontface.h"

namespace ledview {

// Metrics of character `code` (a byte below 0xA1, or lead | trail << 8) at
// `size` pixels, and with `render` non-zero its rows as well. Returns the one
// module-level cell, whose rows stay valid until the next call.
GlyphCell* GetGlyph(int32_t size, uint16_t code, int32_t render);

}  // namespace ledview
