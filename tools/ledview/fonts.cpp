#include "ledview/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <map>
#include <strings.h>
#include <vector>

#include "ledview/gbcode.h"

namespace ledview::tool {

std::mutex fontlock;

namespace {

// A text picture may have at most this many pixels: more than a playbill
// can hold, far less than would strain memory.
constexpr int64_t kMaxTextPixels = 32ll << 20;

// One FreeType library and the faces opened so far, kept for the process.
FT_Library library = nullptr;
std::map<std::string, FT_Face> faces;

// The fonts UseOnlyFonts chose; empty: any installed font.
std::vector<std::string> onlyfonts;

// Fontconfig keeps parsed configuration that only FcFini gives back; it is
// released when the process ends.
void StartFontconfig() {
  static bool started = false;
  if (started) return;
  started = true;
  FcInit();
  std::atexit(ReleaseFonts);
}

bool OpenFace(const std::string& path, FT_Face* face, std::string* error) {
  if (library == nullptr && FT_Init_FreeType(&library) != 0) {
    *error = "FreeType cannot start";
    return false;
  }
  const auto found = faces.find(path);
  if (found != faces.end()) {
    *face = found->second;
    return true;
  }
  FT_Face f = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &f) != 0) {
    *error = "font file \"" + path + "\" cannot be read as a font";
    return false;
  }
  faces[path] = f;
  *face = f;
  return true;
}

bool SameFamily(FcPattern* match, const std::string& wanted) {
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (strcasecmp(reinterpret_cast<const char*>(family), wanted.c_str()) == 0) return true;
  }
  return false;
}

// The file of fontconfig's best scalable match for text of these characters,
// or "" when even that lacks one of them.
std::string MatchFontWithAll(const std::vector<uint32_t>& codes) {
  std::string path;
  FcPattern* pattern = FcPatternCreate();
  FcCharSet* set = FcCharSetCreate();
  for (uint32_t code : codes) FcCharSetAddChar(set, code);
  FcPatternAddCharSet(pattern, FC_CHARSET, set);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match != nullptr) {
    FcCharSet* has = nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch && FcCharSetIsSubset(set, has) &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      path = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcCharSetDestroy(set);
  FcPatternDestroy(pattern);
  return path;
}

// A font that has the character, found by fontconfig; "" when none does.
std::string FontWithChar(uint32_t code) {
  if (!onlyfonts.empty()) {
    for (size_t i = 1; i < onlyfonts.size(); ++i) {
      FT_Face face = nullptr;
      std::string error;
      if (OpenFace(onlyfonts[i], &face, &error) && FT_Get_Char_Index(face, code) != 0) {
        return onlyfonts[i];
      }
    }
    return "";
  }
  StartFontconfig();
  static std::map<uint32_t, std::string> cache;
  const auto found = cache.find(code);
  if (found != cache.end()) return found->second;
  return cache[code] = MatchFontWithAll({code});
}

struct Placed {
  FT_Face face;
  FT_UInt glyph;
};

}  // namespace

std::string CharName(uint32_t code) {
  std::string shown;
  AppendUtf8(&shown, code);
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
  return "\"" + shown + "\" (" + name + ")";
}

std::vector<uint32_t> MissingChars(const std::string& path, const std::vector<uint32_t>& codes) {
  std::vector<uint32_t> missing;
  FT_Face face = nullptr;
  std::string error;
  const bool open = OpenFace(path, &face, &error);
  for (uint32_t code : codes) {
    if (std::find(missing.begin(), missing.end(), code) != missing.end()) continue;
    if (!open || FT_Get_Char_Index(face, code) == 0) missing.push_back(code);
  }
  return missing;
}

std::string FontWithChars(const std::vector<uint32_t>& codes) {
  if (!onlyfonts.empty()) {
    for (const std::string& path : onlyfonts) {
      if (MissingChars(path, codes).empty()) return path;
    }
    return "";
  }
  StartFontconfig();
  return MatchFontWithAll(codes);
}

void ReleaseFonts() {
  for (auto& [path, face] : faces) FT_Done_Face(face);
  faces.clear();
  if (library != nullptr) FT_Done_FreeType(library);
  library = nullptr;
  FcFini();
}

void UseOnlyFonts(const std::vector<std::string>& paths) { onlyfonts = paths; }

bool FindFont(const std::string& nameorpath, std::string* path, std::string* error) {
  if (!onlyfonts.empty()) {
    *path = onlyfonts[0];
    return true;
  }
  std::error_code ec;
  if (nameorpath.find('/') != std::string::npos ||
      std::filesystem::is_regular_file(nameorpath, ec)) {
    if (!std::filesystem::is_regular_file(nameorpath, ec)) {
      *error = "font file \"" + nameorpath + "\" not found";
      return false;
    }
    *path = nameorpath;
    return true;
  }
  if (nameorpath.empty()) {
    *error = "empty font name";
    return false;
  }
  StartFontconfig();
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(nameorpath.c_str()));
  if (pattern == nullptr) {
    *error = "font name \"" + nameorpath + "\" cannot be parsed";
    return false;
  }
  FcChar8* wanted = nullptr;
  const std::string family = FcPatternGetString(pattern, FC_FAMILY, 0, &wanted) == FcResultMatch
                                 ? reinterpret_cast<const char*>(wanted)
                                 : nameorpath;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  bool ok = false;
  if (match != nullptr && SameFamily(match, family)) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      *path = reinterpret_cast<const char*>(file);
      ok = true;
    }
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  if (!ok) *error = "font \"" + nameorpath + "\" not found (fc-list shows the installed fonts)";
  return ok;
}

bool RenderText(const std::string& text, const TextStyle& style, Picture* out, std::string* error) {
  if (style.size < 1 || style.size > 1024) {
    *error = "text size " + std::to_string(style.size) + " is outside 1..1024";
    return false;
  }
  std::string path;
  if (!FindFont(style.font, &path, error)) return false;
  FT_Face primary = nullptr;
  if (!OpenFace(path, &primary, error)) return false;
  if (FT_Set_Pixel_Sizes(primary, 0, static_cast<FT_UInt>(style.size)) != 0) {
    *error = "font \"" + style.font + "\" has no size " + std::to_string(style.size);
    return false;
  }
  const int32_t ascender = static_cast<int32_t>((primary->size->metrics.ascender + 63) >> 6);
  const int32_t descender = static_cast<int32_t>(-(primary->size->metrics.descender >> 6));
  const int32_t lineheight = std::max(style.size, ascender + descender);

  // Lines of glyphs first, to measure.
  std::vector<std::vector<Placed>> lines(1);
  size_t at = 0;
  while (at < text.size()) {
    uint32_t code = 0;
    if (!NextCodePoint(text, &at, &code)) {
      *error = "text is not UTF-8 at byte " + std::to_string(at);
      return false;
    }
    if (code == '\n') {
      lines.emplace_back();
      continue;
    }
    if (code == '\r') continue;
    FT_Face face = primary;
    FT_UInt glyph = FT_Get_Char_Index(primary, code);
    if (glyph == 0 && code >= 0x20) {
      const std::string other = FontWithChar(code);
      if (other.empty() || !OpenFace(other, &face, error) ||
          FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.size)) != 0 ||
          (glyph = FT_Get_Char_Index(face, code)) == 0) {
        *error = "no installed font has the character " + CharName(code) + " (font \"" +
                 style.font + "\")";
        return false;
      }
    }
    lines.back().push_back({face, glyph});
  }

  // Each line's pen advance, and how far its pixels reach.
  std::vector<int32_t> widths;
  int32_t widest = 0;
  for (const auto& line : lines) {
    int32_t pen = 0;
    int32_t reach = 0;
    for (const Placed& g : line) {
      if (FT_Load_Glyph(g.face, g.glyph, FT_LOAD_TARGET_MONO) != 0) continue;
      const FT_GlyphSlot slot = g.face->glyph;
      reach = std::max(reach, pen + static_cast<int32_t>((slot->metrics.horiBearingX +
                                                          slot->metrics.width + 63) >> 6));
      pen += static_cast<int32_t>((slot->advance.x + 32) >> 6);
    }
    widths.push_back(std::max(pen, reach));
    widest = std::max(widest, widths.back());
  }
  const int32_t textheight = lineheight * static_cast<int32_t>(lines.size());
  out->width = style.width > 0 ? style.width : std::max(widest, style.boxwidth);
  out->height = style.height > 0 ? style.height : textheight;
  if (out->width > 65535 || out->height > 65535 ||
      static_cast<int64_t>(out->width) * out->height > kMaxTextPixels) {
    *error = "the text makes a picture of " + std::to_string(out->width) + "x" +
             std::to_string(out->height) + " pixels, more than a playbill can hold";
    return false;
  }
  out->pixels.assign(static_cast<size_t>(out->width) * out->height, 0);
  const int32_t top = style.height > 0 ? (out->height - textheight) / 2 : 0;

  for (size_t l = 0; l < lines.size(); ++l) {
    int32_t pen = 0;
    if (style.align == TextAlign::Centre) pen = (out->width - widths[l]) / 2;
    if (style.align == TextAlign::Right) pen = out->width - widths[l];
    const int32_t baseline = top + static_cast<int32_t>(l) * lineheight + ascender;
    for (const Placed& g : lines[l]) {
      if (FT_Load_Glyph(g.face, g.glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
      const FT_GlyphSlot slot = g.face->glyph;
      if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO &&
          FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
        continue;
      }
      const FT_Bitmap& b = slot->bitmap;
      for (uint32_t r = 0; r < b.rows; ++r) {
        const int32_t y = baseline - slot->bitmap_top + static_cast<int32_t>(r);
        if (y < 0 || y >= out->height) continue;
        const uint8_t* row = b.buffer + static_cast<ptrdiff_t>(r) * b.pitch;
        for (uint32_t c = 0; c < b.width; ++c) {
          const int32_t x = pen + slot->bitmap_left + static_cast<int32_t>(c);
          if (x < 0 || x >= out->width) continue;
          if ((row[c >> 3] >> (7 - (c & 7))) & 1) {
            out->pixels[static_cast<size_t>(y) * out->width + x] = 1;
          }
        }
      }
      pen += static_cast<int32_t>((slot->advance.x + 32) >> 6);
    }
  }
  return true;
}

}  // namespace ledview::tool
