#include "content/glyph.h"

#include <cstring>

#include "content/fontdata/fontdata.h"
#include "memory/arena.h"

namespace ledview {

namespace {

constexpr uint32_t kBitmapFontSize = 16;
constexpr size_t kBitmapRowBytes = 32;

// The 32 bytes of a double-byte glyph, or null when the code lies outside the
// 94 x 94 grid.
const uint8_t* GridGlyph(uint16_t code) {
  const uint32_t lead = code & 0xFF;
  const uint32_t trail = code >> 8;
  if (lead < 0xA1 || lead > 0xFE || trail < 0xA1 || trail > 0xFE) return nullptr;
  return HzkFont + ((lead - 0xA1) * kHzkGridSize + (trail - 0xA1)) * kHzkGlyphBytes;
}

}  // namespace

GlyphCell* GetGlyph(int32_t /*size*/, uint16_t code, int32_t render) {
  GlyphCell& cell = glyphcell;
  ArenaFree(cell.rows);
  cell.rows = nullptr;

  const bool wide = code >= 255;
  cell.width = wide ? 16 : 8;
  cell.height = kBitmapFontSize;
  cell.pitch = wide ? 2 : 1;
  if (render == 0) return &cell;

  auto* rows = static_cast<uint8_t*>(ArenaAlloc(kBitmapRowBytes));
  if (rows == nullptr) return &cell;
  std::memset(rows, 0, kBitmapRowBytes);
  if (wide) {
    // Codes without a grid position are drawn blank.
    if (const uint8_t* glyph = GridGlyph(code)) std::memcpy(rows, glyph, kHzkGlyphBytes);
  } else {
    std::memcpy(rows, AscFont + code * kAscGlyphBytes, kAscGlyphBytes);
  }
  cell.rows = rows;
  return &cell;
}

}  // namespace ledview
