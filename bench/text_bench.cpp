// GetStringBmp of a 200-character mixed Latin and GB2312 line against the
// bare FreeType work the same glyphs cost, measured side by side in each
// iteration:
//   vs_freetype       layout time over FreeType loading and rendering each
//                     glyph monochrome twice (as a layout without a cache
//                     measures and then draws), the pixel size set before
//                     each load;
//   vs_freetype_once  layout time over FreeType rendering each glyph once
//                     with the pixel size set once.
// BM_StringLayout lays the same line out again and again, as a sign does;
// BM_NewGlyphLayout lays out 200 hanzi on a freshly loaded face each time,
// so that no glyph has been seen before.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "content/fontface.h"
#include "content/glyph.h"
#include "content/layout.h"
#include "memory/arena.h"
#include "memory/lock.h"

namespace {

// "Welcome to 欢迎光临 LED display 12:30 温度 25.5C, 今天天气晴朗。" in GB2312.
constexpr const char* kPhrase =
    "Welcome to \xBB\xB6\xD3\xAD\xB9\xE2\xC1\xD9 LED display 12:30 \xCE\xC2\xB6\xC8 25.5C, "
    "\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xC7\xE7\xC0\xCA\xA1\xA3";

// The phrase repeated up to 200 characters (a double-byte pair is one).
std::string MixedText() {
  std::string text;
  int chars = 0;
  for (const char* p = kPhrase; chars < 200; ++chars) {
    if (*p == 0) p = kPhrase;
    const int n = static_cast<uint8_t>(*p) > 0xA0 ? 2 : 1;
    text.append(p, n);
    p += n;
  }
  return text;
}

// The code points FreeType is asked for, as the outline path converts them.
std::vector<uint32_t> CodePoints(const std::string& text) {
  std::vector<uint32_t> codes;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (b > 0xA0) {
      codes.push_back(ledview::GbToUnicode(static_cast<uint16_t>(b | static_cast<uint8_t>(text[i + 1]) << 8)));
      i += 2;
    } else {
      if (b != ' ') codes.push_back(b);
      ++i;
    }
  }
  return codes;
}

// 200 distinct GB2312 hanzi from the start of level 1.
std::string NewGlyphText() {
  std::string text;
  for (int i = 0; i < 200; ++i) {
    text.push_back(static_cast<char>(0xB0 + i / 94));
    text.push_back(static_cast<char>(0xA1 + i % 94));
  }
  return text;
}

// FreeType's own cost for the glyphs of codes: twice with the size set before
// each load, and once with the size set once.
struct FreeTypeTimes {
  double twice;
  double once;
};

FreeTypeTimes TimeFreeType(FT_Face face, int32_t size, const std::vector<uint32_t>& codes) {
  auto start = std::chrono::steady_clock::now();
  for (int pass = 0; pass < 2; ++pass) {
    for (uint32_t code : codes) {
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
      FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_MONOCHROME);
      benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
    }
  }
  const double twice = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  start = std::chrono::steady_clock::now();
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
  for (uint32_t code : codes) {
    FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_MONOCHROME);
    benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
  }
  const double once = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {twice, once};
}

void LayoutBench(benchmark::State& state, const std::string& text, bool newface) {
  const int32_t size = static_cast<int32_t>(state.range(0));
  const std::vector<uint32_t> codes = CodePoints(text);

  std::vector<uint8_t> block(ledview::kArenaBlockSize);
  ledview::ArenaInit(block.data(), block.size());
  if (ledview::LoadFontFace(LEDVIEW_BENCH_FONT) != 0) {
    state.SkipWithError("cannot open " LEDVIEW_BENCH_FONT);
    return;
  }
  FT_Library library;
  FT_Face face;
  FT_Init_FreeType(&library);
  FT_New_Face(library, LEDVIEW_BENCH_FONT, 0, &face);

  double layouttime = 0;
  double freetypetime = 0;
  double oncetime = 0;
  for (auto _ : state) {
    if (newface) {
      // A face loaded afresh has no glyph in store.
      ledview::ReleaseFontFace();
      ledview::LoadFontFace(LEDVIEW_BENCH_FONT);
    }
    const auto start = std::chrono::steady_clock::now();
    ledview::BmpBlock* image =
        ledview::GetStringBmp(size, text.data(), static_cast<int32_t>(text.size()), 1, 0, 0);
    benchmark::DoNotOptimize(image);
    ledview::ArenaFree(image);
    const double l = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const FreeTypeTimes f = TimeFreeType(face, size, codes);
    state.SetIterationTime(l);
    layouttime += l;
    freetypetime += f.twice;
    oncetime += f.once;
  }
  state.counters["chars"] = benchmark::Counter(200.0 * static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
  state.counters["vs_freetype"] = freetypetime > 0 ? layouttime / freetypetime : 0;
  state.counters["vs_freetype_once"] = oncetime > 0 ? layouttime / oncetime : 0;

  FT_Done_Face(face);
  FT_Done_FreeType(library);
  ledview::ReleaseGlyph();
  ledview::ReleaseFontFace();
  ledview::LockReleaseAll();
}
void BM_StringLayout(benchmark::State& state) { LayoutBench(state, MixedText(), false); }
BENCHMARK(BM_StringLayout)->Arg(16)->Arg(24)->Arg(48)->UseManualTime();

void BM_NewGlyphLayout(benchmark::State& state) { LayoutBench(state, NewGlyphText(), true); }
BENCHMARK(BM_NewGlyphLayout)->Arg(24)->Arg(48)->UseManualTime();

}  // namespace
