// Glyph access: one character's pixels from the built-in bitmap fonts (16
// pixels and below, or when no outline face is loaded) or from the outline
// face, always through the single module-level cell `glyphcell`.
#pragma once
#include <cstdint>

#include "content/fontface.h"
#include "memory/arena.h"

namespace ledview {

// Built-in font metrics.
inline constexpr int32_t kFontHeight = 16;
inline constexpr uint32_t kGlyphRowBytes = 32;  // row buffer of a bitmap glyph

// Bytes per row of an outline cell: whole 32-bit words.
constexpr uint32_t GlyphPitch(int32_t size) {
  return static_cast<uint32_t>((static_cast<int64_t>(size) + 31) >> 5) * 4;
}

// Largest outline size whose cell can fit in the arena at all; anything
// larger could never be drawn, so it is not handed to the rasterizer (which
// would spend seconds on a single glyph).
constexpr int32_t MaxGlyphSize() {
  int32_t size = 16;
  while (static_cast<uint64_t>(GlyphPitch(size + 1)) * static_cast<uint64_t>(size + 1) <= kArenaBlockSize) ++size;
  return size;
}
inline constexpr int32_t kMaxGlyphSize = MaxGlyphSize();

// Fills glyphcell for code (a single byte below 0xA1, or lead | trail << 8)
// at size pixels and returns it. render 0 gives metrics only; otherwise rows
// holds the pixels, or is null when the arena could not supply them. The
// previous call's rows are freed first, so use them before calling again.
// Outline cells come from the glyph cache (content/glyphcache.h) when it
// holds them; a glyph met for the first time, even for metrics alone, is
// rendered once and kept there.
GlyphCell* GetGlyph(int32_t size, uint16_t code, int32_t render);

// Unicode code point of a double-byte GB2312 code (lead low, trail high), or
// 0 when the code lies outside the conversion table.
uint16_t GbToUnicode(uint16_t code);

// Frees the cell's rows and clears it; the engine calls this before the
// arena goes away so that no later call frees into a stale block.
void ReleaseGlyph();

}  // namespace ledview
