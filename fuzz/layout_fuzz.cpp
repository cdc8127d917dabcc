// Text layout target: byte strings in the engine's character codes laid out
// by GetStringBmp and measured by GetStringSize, with the built-in bitmap
// fonts alone and with the outline fonts. The image must match the
// measurement, keep its bits inside its width, come out the same twice, and
// go back to the arena without a leak.
//
// Input: font byte, size, width and height (each a class byte and its
// figure), format byte, length-cut byte, then the text.
#include <cstring>
#include <vector>

#include "common.h"
#include "content/fontface.h"
#include "content/glyph.h"
#include "content/layout.h"
#include "memory/arena.h"
#include "platform/platform.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

alignas(16) uint8_t block[kArenaBlockSize];
constexpr int kFontSlots = 3;  // none, Latin outline, CJK outline
// Glyph pixels a unit may place in one layout; it lays out twice, and
// libFuzzer runs a unit twice when it looks for leaks.
constexpr uint64_t kGlyphPixelBudget = uint64_t{1} << 26;
FontState faces[kFontSlots];

int32_t Figure(Reader& in, bool size) {
  switch (in.U8() % 8) {
    case 0: return 0;
    case 1: case 2: case 3: return size ? 1 + in.U8() % 64 : in.U8();
    case 4: case 5: return in.U16() % (size ? 256 : 1024);
    case 6: return in.U16();
    default: return in.I32();
  }
}

// Whole arena back: nothing the layout made is left behind.
void CheckArenaEmpty() {
  void* whole = ArenaAlloc(kArenaBlockSize - 20);
  Expect(whole == block + 8, "layout leaves the arena empty",
         whole ? static_cast<uint8_t*>(whole) - block : -1, 8);
  ArenaFree(whole);
}

void CheckImage(const BmpBlock* img, int32_t width, int32_t height, uint32_t format) {
  Expect(img->width == width, "image width", img->width, width);
  Expect(img->height == height, "image height", img->height, height);
  Expect(img->format == format, "image format", img->format, format);
  Expect(img->pitch == BmpPitch(width), "image pitch", img->pitch, BmpPitch(width));
  const uint64_t bytes = kBmpHeaderBytes + uint64_t{img->pitch} * img->height;
  Expect(ArenaChunkSize(img) >= bytes, "image block holds its rows", ArenaChunkSize(img),
         static_cast<long long>(bytes));
  const uint8_t* rows = BmpBlockRows(img);
  for (uint32_t y = 0; y < img->height; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(y) * img->pitch;
    for (uint32_t x = img->width; x < img->pitch * 8; ++x) {
      if (row[x >> 3] & (0x80 >> (x & 7))) Fail("lit bit past the image width", x, y);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ArenaInit(block, sizeof block);
  const char* paths[kFontSlots] = {nullptr, LEDVIEW_FUZZ_FONT, LEDVIEW_FUZZ_CJK_FONT};
  for (int i = 1; i < kFontSlots; ++i) {
    if (FileCanOpen(paths[i]) && LoadFontFace(paths[i]) == 0) faces[i] = fontstate;
    fontstate = FontState{};
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  const int slot = in.U8() % kFontSlots;
  fontstate = faces[slot];
  const int32_t fontsize = Figure(in, true);
  const int32_t width = Figure(in, false);
  const int32_t height = Figure(in, false);
  const uint32_t format = in.U8();
  const uint8_t cut = in.U8();
  // The text in a block of its own, so that a read past its length shows.
  std::vector<char> text(data + in.pos, data + size);
  int32_t length = static_cast<int32_t>(text.size());
  if (cut >= 0xF0 && length > 0) length -= 1 + cut % 4;  // a length shorter than the bytes
  // An outline glyph costs its pixel area to rasterise: a hundred glyphs near
  // the largest size the arena holds take seconds under the sanitizers. Long
  // texts at huge sizes are cut (from the end) to a budget of glyph pixels;
  // huge sizes keep their short texts and small sizes their long ones.
  const uint64_t glyphpixels = fontsize > kFontHeight ? uint64_t(fontsize) * uint64_t(fontsize) : 256;
  while (length > 1 && glyphpixels * static_cast<uint64_t>(length) > kGlyphPixelBudget) length /= 2;

  const int32_t cell = fontsize > kFontHeight ? fontsize : kFontHeight;
  int32_t mw = width, mh = height;
  GetStringSize(text.data(), length, cell, &mw, &mh);
  if (width > 0 && height > 0) {
    Expect(mw == width && mh == height, "nothing to measure", mw, width);
  }
  BmpBlock* img = GetStringBmp(fontsize, text.data(), length, format, width, height);
  const bool refused = text.empty() || length <= 0 || width < 0 || height < 0;
  if (refused) {
    Expect(img == nullptr, "bad arguments give no image");
  } else if (mw > 0xFFFF || mh > 0xFFFF) {
    Expect(img == nullptr, "an image past 65535 pixels is refused", mw, 0xFFFF);
  } else if (img != nullptr) {
    CheckImage(img, mw, mh, format);
    // The glyph cell and the face's pixel size carry over between calls;
    // they must not change the picture.
    const size_t bytes = kBmpHeaderBytes + static_cast<size_t>(img->pitch) * img->height;
    const std::vector<uint8_t> first(reinterpret_cast<uint8_t*>(img),
                                     reinterpret_cast<uint8_t*>(img) + bytes);
    ArenaFree(img);
    img = GetStringBmp(fontsize, text.data(), length, format, width, height);
    Expect(img != nullptr, "second layout fits too");
    Expect(std::memcmp(img, first.data(), bytes) == 0, "layout repeatable");
  }
  ArenaFree(img);
  Expect(GetStringBmp(fontsize, nullptr, length, format, width, height) == nullptr, "null text");

  ReleaseGlyph();
  faces[slot] = fontstate;
  fontstate = FontState{};
  CheckArenaEmpty();
  return 0;
}
