// Outline glyph cells kept between layouts. A cell's picture and advance
// depend only on the face, the pixel size and the character code, so a
// layout that meets a glyph again copies its cell instead of loading and
// rasterising it anew; text laid out again every second then costs little.
//
// The storage is static and fixed: cells are packed into one slab and found
// through an open-addressed index. When the slab or the index is full the
// whole cache is emptied and filling starts over, so it never holds more than
// kGlyphCacheFootprint bytes. It is emptied as well when the face changes.
#pragma once
#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace ledview {

inline constexpr uint32_t kGlyphCacheSlabBytes = 262144;
inline constexpr uint32_t kGlyphCacheSlots = 4096;  // a power of two
// Entries held at most, so that probes stay short.
inline constexpr uint32_t kGlyphCacheEntries = kGlyphCacheSlots / 4 * 3;
// Larger cells are not kept: a few of them would push out everything else,
// and a glyph that big costs far more to rasterise than to look up anyway.
inline constexpr uint32_t kGlyphCacheCellLimit = kGlyphCacheSlabBytes / 32;

struct CachedGlyph {
  uint32_t key;       // size << 16 | code; 0 marks a free slot
  uint32_t offset;    // of the cell in the slab
  uint32_t measured;  // advance when loaded for metrics alone
  uint32_t drawn;     // advance when rendered
};

inline constexpr uint32_t kGlyphCacheFootprint =
    kGlyphCacheSlabBytes + kGlyphCacheSlots * static_cast<uint32_t>(sizeof(CachedGlyph));

// Whether a size x size cell of pitch bytes a row is small enough to keep.
bool GlyphCacheKeeps(int32_t size, uint32_t pitch);

// The entry for code at size in face, or null. A cache filled from another
// face is emptied first.
const CachedGlyph* GlyphCacheFind(FT_Face face, int32_t size, uint16_t code);

// A new entry for code at size in face with a zeroed cell of bytes for the
// caller to fill; bytes must be one that GlyphCacheKeeps accepts. Empties the
// cache first when it has no room, which invalidates earlier entries.
CachedGlyph* GlyphCacheAdd(FT_Face face, int32_t size, uint16_t code, uint32_t bytes);

uint8_t* GlyphCacheCell(const CachedGlyph* entry);

void GlyphCacheEmpty();

// Bytes in use: the cells held plus their index entries. Never above
// kGlyphCacheFootprint, the static storage the cache owns.
uint32_t GlyphCacheBytes();
uint32_t GlyphCacheCount();

// True when GetGlyph is to neither read nor fill the cache, loading and
// rendering every outline glyph afresh; never in the shipped library.
bool GlyphCacheBypassed();
// Test builds only: the switch behind GlyphCacheBypassed, for tests that
// compare the two.
extern bool glyphcacheoff;

}  // namespace ledview
