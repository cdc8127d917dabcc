#include "content/fontface.h"

#include "content/glyph.h"
#include "content/glyphcache.h"

namespace ledview {

FontState fontstate;
GlyphCell glyphcell;

int32_t LoadFontFace(const char* path) {
  // A cell rendered with the old face goes back to the arena.
  ReleaseGlyph();
  // Cells of the old face must not be served for the new one, even should
  // FreeType hand out the same face address again.
  GlyphCacheEmpty();
  fontstate = FontState{};
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return -1;
  FT_Face face = nullptr;
  if (path == nullptr || FT_New_Face(library, path, 0, &face) != 0) {
    FT_Done_FreeType(library);
    return -1;
  }
  fontstate.library = library;
  fontstate.face = face;
  return 0;
}

void ReleaseFontFace() {
  GlyphCacheEmpty();
  if (fontstate.face == nullptr) return;
  FT_Done_Face(fontstate.face);
  FT_Done_FreeType(fontstate.library);
  fontstate = FontState{};
}

}  // namespace ledview
