// Fonts for the command: names looked up with fontconfig, and text drawn
// into one-bit pictures with FreeType.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "ledview/picture.h"

namespace ledview::tool {

// A font file from a fontconfig name ("DejaVu Sans", "DejaVu Sans:bold") or
// a path. A name whose best match is another family is not found.
bool FindFont(const std::string& nameorpath, std::string* path, std::string* error);

// The characters of `codes` the font file lacks, in order, each once; all
// of them when the file cannot be read as a font.
std::vector<uint32_t> MissingChars(const std::string& path, const std::vector<uint32_t>& codes);

// An installed outline font file that has every one of `codes`, found by
// fontconfig; "" when none has them all.
std::string FontWithChars(const std::vector<uint32_t>& codes);

// A character as it reads and its code point: "\"字\" (U+5B57)".
std::string CharName(uint32_t code);

// From now on every text is drawn with these font files alone, whatever
// font it names: the first for everything, the others, in order, for the
// characters it lacks. Neither fontconfig nor the file system is asked (a
// path is read when first drawn with). For the fuzz target, which must not
// depend on the fonts installed nor touch other files.
void UseOnlyFonts(const std::vector<std::string>& paths);

// Closes the fonts opened so far and fontconfig's state; for the end of the
// process.
void ReleaseFonts();

// The lookups above keep caches that are for one thread at a time: a
// command that builds or starts shows on two threads holds this lock around
// them.
extern std::mutex fontlock;

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
