#include "content/glyph.h"

#include <cstring>

#include "content/fontdata/fontdata.h"
#include "content/glyphcache.h"

namespace ledview {

namespace {

constexpr uint32_t kWhiteSquare = 0x25A1;  // drawn for characters the face lacks
constexpr int32_t kFirstGbByte = 0xA1;
constexpr int32_t kLastGbByte = 0xFE;

bool IsGridByte(int32_t b) { return b >= kFirstGbByte && b <= kLastGbByte; }

void BitmapGlyph(uint16_t code, int32_t render) {
  const bool wide = code >= 255;
  glyphcell.width = wide ? 16 : 8;
  glyphcell.height = kFontHeight;
  glyphcell.pitch = wide ? 2 : 1;
  if (render == 0) return;
  auto* rows = static_cast<uint8_t*>(ArenaAlloc(kGlyphRowBytes));
  if (rows == nullptr) return;
  std::memset(rows, 0, kGlyphRowBytes);
  if (code > 255) {
    const int32_t lead = code & 0xFF;
    const int32_t trail = code >> 8;
    // Codes outside the 94 x 94 grid stay blank.
    if (IsGridByte(lead) && IsGridByte(trail)) {
      const int32_t glyph = (lead - kFirstGbByte) * kHzkGridSize + (trail - kFirstGbByte);
      std::memcpy(rows, HzkFont + glyph * kHzkGlyphBytes, kHzkGlyphBytes);
    }
  } else if (code < 255) {
    std::memcpy(rows, AscFont + code * kAscGlyphBytes, kAscGlyphBytes);
  }
  glyphcell.rows = rows;
}

// Setting the size the face already has changes nothing but costs a third
// of a glyph's time, and a layout asks for one size throughout.
bool SetPixelSize(FT_Face face, int32_t size) {
  if (fontstate.pixelsize == size) return true;
  fontstate.pixelsize = 0;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) return false;
  fontstate.pixelsize = size;
  return true;
}

// FreeType quietly loads glyph 0 for a character the face has no map entry
// for; that counts as a failure so the white square is drawn instead.
// Without render, FreeType sizes the monochrome bitmap exactly as rendering
// would but draws nothing: measuring a large size then costs no raster work.
bool LoadMono(FT_Face face, uint32_t code, int32_t render) {
  if (code != 0 && FT_Get_Char_Index(face, code) == 0) return false;
  const FT_Int32 flags = render != 0 ? FT_LOAD_RENDER | FT_LOAD_MONOCHROME : FT_LOAD_MONOCHROME;
  if (FT_Load_Char(face, code, flags) != 0) return false;
  return face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
}

// Eight bits of a bitmap row starting at bit s, which may lie left of the
// row; bits outside the row's nbytes read as 0.
uint8_t RowBits(const uint8_t* row, int32_t nbytes, int32_t s) {
  const int32_t i = s >> 3;  // rounds down for a negative s too
  const uint32_t hi = i >= 0 && i < nbytes ? row[i] : 0u;
  const uint32_t lo = i + 1 >= 0 && i + 1 < nbytes ? row[i + 1] : 0u;
  return static_cast<uint8_t>(((hi << 8 | lo) << (s & 7)) >> 8);
}

// Copies the slot's monochrome bitmap into the cell with its top-left pixel
// at (x, y), a cell byte at a time; ink outside the size x size cell is
// dropped.
void PlaceBitmap(const FT_Bitmap& bitmap, int32_t x, int32_t y, int32_t size, uint8_t* cell,
                 uint32_t pitch) {
  const int32_t bw = static_cast<int32_t>(bitmap.width);
  const int32_t brows = static_cast<int32_t>(bitmap.rows);
  const int32_t nbytes = (bw + 7) >> 3;
  // Cell columns that receive the bitmap's columns.
  const int32_t first = x > 0 ? x : 0;
  const int32_t last = x + bw < size ? x + bw : size;
  if (first >= last) return;
  for (int32_t r = 0; r < brows; ++r) {
    const int32_t cy = y + r;
    if (cy < 0 || cy >= size) continue;
    const uint8_t* src = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
    uint8_t* dst = cell + static_cast<size_t>(cy) * pitch;
    for (int32_t j = first >> 3; j <= (last - 1) >> 3; ++j) {
      const int32_t from = first - 8 * j > 0 ? first - 8 * j : 0;
      const int32_t to = last - 8 * j < 8 ? last - 8 * j : 8;
      const auto mask = static_cast<uint8_t>((0xFFu >> from) & (0xFFu << (8 - to)));
      dst[j] |= static_cast<uint8_t>(RowBits(src, nbytes, 8 * j - x) & mask);
    }
  }
}

// What a load leaves for the cell: the slot's bitmap and bearings, or a
// blank with no ink and no width.
struct SlotGlyph {
  FT_Bitmap bitmap;
  FT_Pos bearingx;
  FT_Pos bearingy;
};

// Without a rendered bitmap the glyph is blank. Metrics alone have the
// bitmap's size and no pixels.
SlotGlyph TakeSlot(FT_Face face, bool loaded, int32_t render) {
  SlotGlyph g{};
  if (loaded && (render == 0 || face->glyph->bitmap.buffer != nullptr)) {
    g.bitmap = face->glyph->bitmap;
    g.bearingx = face->glyph->metrics.horiBearingX;
    g.bearingy = face->glyph->metrics.horiBearingY;
  }
  return g;
}

uint32_t Advance(uint32_t unicode, int32_t size, const SlotGlyph& g) {
  int32_t advance = size;
  if (unicode < 255) {
    advance = static_cast<int32_t>(g.bitmap.width);
    if (advance < (size >> 1)) ++advance;
    if (unicode == 'v') --advance;
  }
  return static_cast<uint32_t>(advance);
}

// Baseline at seven eighths of the cell; the glyph is pushed back inside
// the advance and the cell where it would overhang.
void PlaceGlyph(const SlotGlyph& g, uint16_t code, int32_t size, uint32_t advance, uint8_t* cell,
                uint32_t pitch) {
  const int32_t bw = static_cast<int32_t>(g.bitmap.width);
  const int32_t brows = static_cast<int32_t>(g.bitmap.rows);
  if (bw == 0 || brows == 0) return;
  const bool ideograph = (code & 0xFF) >= 0xB0;
  int32_t x = static_cast<int32_t>((g.bearingx + 32) >> 6);
  if (x < 0) x = 0;
  int32_t y = ((size * 7) >> 3) - static_cast<int32_t>(g.bearingy >> 6);
  if (x + bw > static_cast<int32_t>(advance)) x = static_cast<int32_t>(advance) - bw;
  if (y + brows > size) y = size - brows;
  if (ideograph) {
    const int32_t slack = size - brows;
    if (slack > 3) {
      y = (slack >> 1) + 1;
    } else if (y > 2 && y + brows == size) {
      y = (slack >> 1) + 1;
      if (y < 0) y = 0;
    }
  }
  PlaceBitmap(g.bitmap, x, y, size, cell, pitch);
}

uint32_t FaceCode(uint16_t code) { return code > 255 ? GbToUnicode(code) : code; }

// The glyph loaded and rendered afresh, as for a face without a cache.
void FreshGlyph(int32_t size, uint16_t code, int32_t render) {
  const uint32_t unicode = FaceCode(code);
  FT_Face face = fontstate.face;
  bool loaded = false;
  if (size <= kMaxGlyphSize && SetPixelSize(face, size)) {
    loaded = LoadMono(face, unicode, render) || LoadMono(face, kWhiteSquare, render);
  }
  const SlotGlyph g = TakeSlot(face, loaded, render);
  glyphcell.width = Advance(unicode, size, g);
  if (render == 0) return;

  const size_t bytes = static_cast<size_t>(glyphcell.pitch) * static_cast<size_t>(size);
  auto* rows = static_cast<uint8_t*>(ArenaAlloc(bytes));
  if (rows == nullptr) return;
  std::memset(rows, 0, bytes);
  glyphcell.rows = rows;
  PlaceGlyph(g, code, size, glyphcell.width, rows, glyphcell.pitch);
}

// Loads the glyph once for its metrics, renders that same load, and keeps
// both advances and the rendered cell: exactly what a metrics-only and a
// rendering load would give, for the cost of one load.
const CachedGlyph* CacheGlyph(int32_t size, uint16_t code) {
  const uint32_t unicode = FaceCode(code);
  FT_Face face = fontstate.face;
  const bool sized = SetPixelSize(face, size);
  const bool loaded = sized && (LoadMono(face, unicode, 0) || LoadMono(face, kWhiteSquare, 0));
  const uint32_t measured = Advance(unicode, size, TakeSlot(face, loaded, 0));
  // Rendering the slot is what FT_LOAD_RENDER does after the same load; if
  // it fails, the rendering load decides as it would without the cache.
  bool drawn = loaded && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0 &&
               face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  if (!drawn) drawn = sized && (LoadMono(face, unicode, 1) || LoadMono(face, kWhiteSquare, 1));
  const SlotGlyph g = TakeSlot(face, drawn, 1);

  const uint32_t bytes = glyphcell.pitch * static_cast<uint32_t>(size);
  CachedGlyph* entry = GlyphCacheAdd(face, size, code, bytes);
  entry->measured = measured;
  entry->drawn = Advance(unicode, size, g);
  PlaceGlyph(g, code, size, entry->drawn, GlyphCacheCell(entry), glyphcell.pitch);
  return entry;
}

void OutlineGlyph(int32_t size, uint16_t code, int32_t render) {
  glyphcell.height = static_cast<uint32_t>(size);
  glyphcell.pitch = GlyphPitch(size);
  if (GlyphCacheBypassed() || size > kMaxGlyphSize || !GlyphCacheKeeps(size, glyphcell.pitch)) {
    FreshGlyph(size, code, render);
    return;
  }
  const CachedGlyph* entry = GlyphCacheFind(fontstate.face, size, code);
  if (entry == nullptr) entry = CacheGlyph(size, code);
  glyphcell.width = render != 0 ? entry->drawn : entry->measured;
  if (render == 0) return;
  const size_t bytes = static_cast<size_t>(glyphcell.pitch) * static_cast<size_t>(size);
  auto* rows = static_cast<uint8_t*>(ArenaAlloc(bytes));
  if (rows == nullptr) return;
  std::memcpy(rows, GlyphCacheCell(entry), bytes);
  glyphcell.rows = rows;
}

}  // namespace

GlyphCell* GetGlyph(int32_t size, uint16_t code, int32_t render) {
  ArenaFree(glyphcell.rows);
  glyphcell.rows = nullptr;
  const int32_t effective = fontstate.face != nullptr ? size : kFontHeight;
  if (effective > kFontHeight) {
    OutlineGlyph(effective, code, render);
  } else {
    BitmapGlyph(code, render);
  }
  return &glyphcell;
}

uint16_t GbToUnicode(uint16_t code) {
  const int32_t lead = code & 0xFF;
  const int32_t trail = code >> 8;
  if (!IsGridByte(trail)) return 0;
  int32_t row;
  if (lead >= 0xA1 && lead <= 0xA9) {
    row = lead - 0xA1;
  } else if (lead >= 0xB0 && lead <= 0xF7) {
    row = lead - 0xA7;
  } else {
    return 0;
  }
  return GbUnicodeTable[row * kHzkGridSize + (trail - kFirstGbByte)];
}

void ReleaseGlyph() {
  ArenaFree(glyphcell.rows);
  glyphcell = GlyphCell{};
}

}  // namespace ledview
