// The outline face used for text taller than 16 pixels.
#pragma once
#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "display/drawtypes.h"  // GlyphCell

namespace ledview {

struct FontState {
  FT_Library library;
  FT_Face face;
  int32_t pixelsize;  // size last set on face, 0 before the first
};
extern FontState fontstate;

// One glyph's metrics and rows; every GetGlyph call overwrites it.
extern GlyphCell glyphcell;

// 0 on success, -1 when FreeType cannot open the file as a font.
int32_t LoadFontFace(const char* path);
void ReleaseFontFace();

}  // namespace ledview
