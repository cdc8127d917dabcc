#include "content/glyph.h"

#include <cstring>

#include "content/fontdata/fontdata.h"

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

// Copies the slot's monochrome bitmap into the cell with its top-left pixel
// at (x, y); ink outside the size x size cell is dropped.
void PlaceBitmap(const FT_Bitmap& bitmap, int32_t x, int32_t y, int32_t size, uint8_t* cell,
                 uint32_t pitch) {
  const int32_t bw = static_cast<int32_t>(bitmap.width);
  const int32_t brows = static_cast<int32_t>(bitmap.rows);
  for (int32_t r = 0; r < brows; ++r) {
    const int32_t cy = y + r;
    if (cy < 0 || cy >= size) continue;
    const uint8_t* src = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
    uint8_t* dst = cell + static_cast<size_t>(cy) * pitch;
    for (int32_t c = 0; c < bw; ++c) {
      if ((src[c >> 3] & (0x80 >> (c & 7))) == 0) continue;
      const int32_t cx = x + c;
      if (cx < 0 || cx >= size) continue;
      dst[cx >> 3] |= static_cast<uint8_t>(0x80 >> (cx & 7));
    }
  }
}

void OutlineGlyph(int32_t size, uint16_t code, int32_t render) {
  const bool ideograph = (code & 0xFF) >= 0xB0;
  uint32_t unicode = code > 255 ? GbToUnicode(code) : code;

  glyphcell.height = static_cast<uint32_t>(size);
  glyphcell.pitch = GlyphPitch(size);

  FT_Face face = fontstate.face;
  bool loaded = false;
  if (size <= kMaxGlyphSize && SetPixelSize(face, size)) {
    loaded = LoadMono(face, unicode, render) || LoadMono(face, kWhiteSquare, render);
  }
  // Without a rendered bitmap the glyph is blank: no ink, no width. Metrics
  // alone have the bitmap's size and no pixels.
  FT_Bitmap bitmap{};
  FT_Pos bearingx = 0;
  FT_Pos bearingy = 0;
  if (loaded && (render == 0 || face->glyph->bitmap.buffer != nullptr)) {
    bitmap = face->glyph->bitmap;
    bearingx = face->glyph->metrics.horiBearingX;
    bearingy = face->glyph->metrics.horiBearingY;
  }
  const int32_t bw = static_cast<int32_t>(bitmap.width);
  const int32_t brows = static_cast<int32_t>(bitmap.rows);

  int32_t advance = size;
  if (unicode < 255) {
    advance = bw;
    if (advance < (size >> 1)) ++advance;
    if (unicode == 'v') --advance;
  }
  glyphcell.width = static_cast<uint32_t>(advance);
  if (render == 0) return;

  const size_t bytes = static_cast<size_t>(glyphcell.pitch) * static_cast<size_t>(size);
  auto* rows = static_cast<uint8_t*>(ArenaAlloc(bytes));
  if (rows == nullptr) return;
  std::memset(rows, 0, bytes);
  glyphcell.rows = rows;
  if (bw == 0 || brows == 0) return;

  // Baseline at seven eighths of the cell; the glyph is pushed back inside
  // the advance and the cell where it would overhang.
  int32_t x = static_cast<int32_t>((bearingx + 32) >> 6);
  if (x < 0) x = 0;
  int32_t y = ((size * 7) >> 3) - static_cast<int32_t>(bearingy >> 6);
  if (x + bw > advance) x = advance - bw;
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
  PlaceBitmap(bitmap, x, y, size, rows, glyphcell.pitch);
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
