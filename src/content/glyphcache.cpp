#include "content/glyphcache.h"

#include <cstring>

namespace ledview {

namespace {

struct GlyphCache {
  FT_Face face;       // the face the entries were rendered from
  uint32_t slabused;  // bytes of the slab handed out
  uint32_t count;     // entries held
};

GlyphCache cache;
CachedGlyph slots[kGlyphCacheSlots];
alignas(16) uint8_t slab[kGlyphCacheSlabBytes];

constexpr uint32_t Key(int32_t size, uint16_t code) {
  return static_cast<uint32_t>(size) << 16 | code;
}

// Fibonacci hashing: sizes and codes arrive in runs, which this spreads.
constexpr uint32_t Home(uint32_t key) { return (key * 2654435761u) >> 20 & (kGlyphCacheSlots - 1); }
static_assert(kGlyphCacheSlots == 4096, "Home takes the top 12 bits of the product");

// Keeps cells 16-byte aligned, so a copy out of the slab runs whole words.
constexpr uint32_t Rounded(uint32_t bytes) { return (bytes + 15) & ~15u; }

}  // namespace

bool GlyphCacheKeeps(int32_t size, uint32_t pitch) {
  return size > 0 && size < 0x10000 &&
         static_cast<uint64_t>(pitch) * static_cast<uint64_t>(size) <= kGlyphCacheCellLimit;
}

const CachedGlyph* GlyphCacheFind(FT_Face face, int32_t size, uint16_t code) {
  if (face != cache.face) {
    GlyphCacheEmpty();
    cache.face = face;
    return nullptr;
  }
  const uint32_t key = Key(size, code);
  for (uint32_t i = Home(key);; i = (i + 1) & (kGlyphCacheSlots - 1)) {
    if (slots[i].key == key) return &slots[i];
    if (slots[i].key == 0) return nullptr;
  }
}

CachedGlyph* GlyphCacheAdd(FT_Face face, int32_t size, uint16_t code, uint32_t bytes) {
  const uint32_t need = Rounded(bytes);
  if (face != cache.face || cache.count == kGlyphCacheEntries ||
      need > kGlyphCacheSlabBytes - cache.slabused) {
    GlyphCacheEmpty();
    cache.face = face;
  }
  const uint32_t key = Key(size, code);
  uint32_t i = Home(key);
  while (slots[i].key != 0 && slots[i].key != key) i = (i + 1) & (kGlyphCacheSlots - 1);
  if (slots[i].key == key) {
    // Not reached through GetGlyph, which adds only what it did not find.
    std::memset(slab + slots[i].offset, 0, need);
    return &slots[i];
  }
  slots[i] = CachedGlyph{key, cache.slabused, 0, 0};
  std::memset(slab + cache.slabused, 0, need);
  cache.slabused += need;
  ++cache.count;
  return &slots[i];
}

uint8_t* GlyphCacheCell(const CachedGlyph* entry) { return slab + entry->offset; }

void GlyphCacheEmpty() {
  if (cache.count != 0) std::memset(slots, 0, sizeof slots);
  cache = GlyphCache{};
}

uint32_t GlyphCacheBytes() {
  return cache.slabused + cache.count * static_cast<uint32_t>(sizeof(CachedGlyph));
}

uint32_t GlyphCacheCount() { return cache.count; }

}  // namespace ledview
