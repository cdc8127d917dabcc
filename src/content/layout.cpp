#include "content/layout.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "content/glyph.h"
#include "memory/arena.h"

namespace ledview {

namespace {

constexpr int32_t kBmpMaxSide = 0xFFFF;  // the header's 16-bit width and height

enum class Token { End, HalfCell, NewLine, Glyph };

// One pass over a string: double-byte codes, tab and space, CR, LF and CR LF.
struct TextWalk {
  const uint8_t* text;
  int32_t length;
  int32_t pos;
};

Token NextToken(TextWalk& walk, uint16_t* code) {
  if (walk.text == nullptr || walk.pos >= walk.length || walk.text[walk.pos] == 0) return Token::End;
  const uint8_t b = walk.text[walk.pos];
  if (b > 0xA0) {
    // A lead byte whose trail lies past the end ends the text.
    if (walk.pos + 1 >= walk.length) return Token::End;
    *code = static_cast<uint16_t>(b | walk.text[walk.pos + 1] << 8);
    walk.pos += 2;
    return Token::Glyph;
  }
  ++walk.pos;
  switch (b) {
    case '\t':
    case ' ':
      return Token::HalfCell;
    case '\n':
      return Token::NewLine;
    case '\r':
      if (walk.pos < walk.length && walk.text[walk.pos] == '\n') ++walk.pos;
      return Token::NewLine;
    default:
      *code = b;
      return Token::Glyph;
  }
}

// Digits and '.' narrower than half a cell are centred in a half-cell slot;
// the slack left of the glyph goes to *lead and the rest to the advance.
int32_t CentreInHalfCell(uint16_t code, int32_t glyphwidth, int32_t half, int32_t* lead) {
  *lead = 0;
  const bool centred = code == '.' || (code >= '0' && code <= '9');
  if (!centred || glyphwidth >= half) return 0;
  const int32_t d = half - glyphwidth;
  *lead = d >> 1;
  return d - (d >> 1);
}

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
}

// ORs a glyph's rows into the image with its top-left at (x, y), clipped to
// the image and to the glyph's own row buffer.
void OrGlyph(BmpBlock* image, const GlyphCell& glyph, int64_t x, int64_t y) {
  const int64_t bits = std::min<int64_t>({static_cast<int64_t>(glyph.width),
                                          static_cast<int64_t>(glyph.pitch) * 8, image->width - x});
  const int64_t rows = std::min<int64_t>(glyph.height, image->height - y);
  if (bits <= 0 || rows <= 0 || x < 0 || y < 0) return;
  const int32_t nbytes = static_cast<int32_t>((bits + 7) >> 3);
  const uint8_t lastmask = static_cast<uint8_t>(0xFF << ((8 - (bits & 7)) & 7));
  const int32_t shift = static_cast<int32_t>(x & 7);
  for (int64_t r = 0; r < rows; ++r) {
    const uint8_t* src = glyph.rows + r * glyph.pitch;
    uint8_t* dst = BmpBlockRows(image) + (y + r) * image->pitch + (x >> 3);
    for (int32_t i = 0; i < nbytes; ++i) {
      uint8_t v = src[i];
      if (i == nbytes - 1) v &= lastmask;
      if (v == 0) continue;
      // Every lit bit lies inside the image width, so a byte that receives
      // one is inside the row.
      dst[i] |= static_cast<uint8_t>(v >> shift);
      const auto spill = static_cast<uint8_t>(v << (8 - shift));
      if (shift != 0 && spill != 0) dst[i + 1] |= spill;
    }
  }
}

void MeasureSingleLine(const char* text, int32_t length, int32_t cell, int32_t* width,
                       int32_t* height) {
  const int64_t gap = LineGap(cell);
  const int32_t half = cell >> 1;
  TextWalk walk{reinterpret_cast<const uint8_t*>(text), length, 0};
  int64_t penx = 0;
  int64_t widest = 0;
  int64_t h = 0;
  bool lineglyph = false;
  uint16_t code = 0;
  for (Token t; (t = NextToken(walk, &code)) != Token::End;) {
    if (t == Token::HalfCell) {
      penx += half;
    } else if (t == Token::NewLine) {
      widest = std::max(widest, penx);
      h += cell + gap;
      penx = 0;
      lineglyph = false;
    } else {
      const auto w = static_cast<int32_t>(GetGlyph(cell, code, 0)->width);
      int32_t lead;
      const int32_t rest = CentreInHalfCell(code, w, half, &lead);
      penx += lead + w + rest;
      lineglyph = true;
    }
  }
  widest = std::max(widest, penx);
  if (lineglyph) h += cell;
  *width = Saturate(widest);
  if (*height == 0) *height = Saturate(h);
}

// The wrap measurement differs from the drawing on purpose: a line feed adds
// one pixel instead of the line gap, a wrapped line restarts at one cell, and
// only here do spaces wrap.
void MeasureWrapped(const char* text, int32_t length, int32_t cell, int32_t width,
                    int32_t* height) {
  const int64_t gap = LineGap(cell);
  const int32_t half = cell >> 1;
  TextWalk walk{reinterpret_cast<const uint8_t*>(text), length, 0};
  int64_t penx = 0;
  int64_t h = 0;
  bool lineglyph = false;
  uint16_t code = 0;
  for (Token t; (t = NextToken(walk, &code)) != Token::End;) {
    if (t == Token::HalfCell) {
      if (penx + half >= width) {
        h += cell + gap;
        penx = 0;
        lineglyph = false;
      } else {
        penx += half;
      }
    } else if (t == Token::NewLine) {
      h += cell + 1;
      penx = 0;
      lineglyph = false;
    } else {
      const auto w = static_cast<int32_t>(GetGlyph(cell, code, 0)->width);
      int32_t lead;
      const int32_t rest = CentreInHalfCell(code, w, half, &lead);
      const int32_t advance = lead + w + rest;
      penx += advance;
      if (penx > width && advance < width) {
        penx = cell;
        h += cell + gap;
      }
      lineglyph = true;
    }
  }
  if (lineglyph) h += cell;
  *height = Saturate(h);
}

}  // namespace

int32_t LineGap(int32_t size) {
  return size >= 25 ? static_cast<int32_t>(static_cast<int64_t>(size) * 14 / 100) : 0;
}

void GetStringSize(const char* text, int32_t length, int32_t cell, int32_t* width,
                   int32_t* height) {
  if (width == nullptr || height == nullptr) return;
  if (*width == 0) {
    MeasureSingleLine(text, length, cell, width, height);
  } else if (*height == 0) {
    MeasureWrapped(text, length, cell, *width, height);
  }
}

BmpBlock* GetStringBmp(int32_t size, const char* text, int32_t length, uint32_t format,
                       int32_t width, int32_t height) {
  const int64_t gap = LineGap(size);
  const int32_t cell = std::max(size, kFontHeight);
  if (text == nullptr || length <= 0 || width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) GetStringSize(text, length, cell, &width, &height);
  if (width > kBmpMaxSide || height > kBmpMaxSide) return nullptr;

  const uint32_t pitch = BmpPitch(width);
  const size_t bytes = kBmpHeaderBytes + static_cast<size_t>(pitch) * static_cast<size_t>(height);
  auto* image = static_cast<BmpBlock*>(ArenaAlloc(bytes));
  if (image == nullptr) return nullptr;
  std::memset(image, 0, bytes);
  image->width = static_cast<uint16_t>(width);
  image->height = static_cast<uint16_t>(height);
  image->format = format;
  image->pitch = pitch;

  const int32_t half = cell >> 1;
  TextWalk walk{reinterpret_cast<const uint8_t*>(text), length, 0};
  int64_t penx = 0;
  int64_t peny = 0;
  uint16_t code = 0;
  for (Token t; (t = NextToken(walk, &code)) != Token::End;) {
    // The pen never moves up again: once a line no longer fits, nothing
    // after it is drawn, so its glyphs are not rendered either.
    if (peny + cell > height) break;
    if (t == Token::HalfCell) {
      penx += half;
      continue;
    }
    if (t == Token::NewLine) {
      peny += cell + gap;
      penx = 0;
      continue;
    }
    const GlyphCell* glyph = GetGlyph(cell, code, 1);
    const auto w = static_cast<int32_t>(glyph->width);
    int32_t lead;
    const int32_t rest = CentreInHalfCell(code, w, half, &lead);
    penx += lead;
    if (penx + w > width) {
      peny += cell + gap;
      penx = 0;
    }
    if (peny + cell <= height) {
      if (glyph->rows != nullptr) OrGlyph(image, *glyph, penx, peny);
      penx += w + rest;
    }
  }
  return image;
}

}  // namespace ledview
