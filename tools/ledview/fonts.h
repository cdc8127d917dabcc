// Fonts for the command: names looked up with fontconfig, and text drawn
// into one-bit pictures with FreeType.
#pragma once
#include <cstdint>
#include <string>

#include "ledview/picture.h"

namespace ledview::tool {

// A font file from a fontconfig name ("DejaVu Sans", "DejaVu Sans:bold") or
// a path. A name whose best match is another family is not found.
bool FindFont(const std::string& nameorpath, std::string* path, std::string* error);

// Closes the fonts opened so far and fontconfig's state; for the end of the
// process.
void ReleaseFonts();

enum class TextAlign : int32_t { Left, Centre, Right };

struct TextStyle {
  std::string font = "DejaVu Sans";
  int32_t size = 16;   // pixels from one line to the next
  int32_t width = 0;   // 0: as wide as the widest line, or boxwidth if that is wider
  int32_t boxwidth = 0;
  int32_t height = 0;  // 0: as tall as the lines
  TextAlign align = TextAlign::Left;
};

// Draws UTF-8 text, lines split at line feeds, in monochrome (no smoothing).
// Characters the font lacks come from another installed font that has them;
// a character no font has is an error that names it.
bool RenderText(const std::string& text, const TextStyle& style, Picture* out, std::string* error);

}  // namespace ledview::tool
