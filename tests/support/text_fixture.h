// Glyph and layout tests run on a private arena block, with no outline face unless
// a test loads one, and leave neither behind. Pictures: rows of '#' (lit) and '.'.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "content/fontdata/fontdata.h"
#include "content/fontface.h"
#include "content/glyph.h"
#include "content/layout.h"
#include "memory/arena.h"
#include "memory/lock.h"

namespace ledview::test {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseFontFace();
    block_.assign(kArenaBlockSize + 8, 0);
    auto* base = block_.data() + (8 - reinterpret_cast<uintptr_t>(block_.data()) % 8) % 8;
    ASSERT_EQ(ArenaInit(base, kArenaBlockSize), 1);
    glyphcell = GlyphCell{};
  }
  void TearDown() override {
    ReleaseGlyph();
    ReleaseFontFace();
    LockReleaseAll();
    std::memset(&main_arena, 0, sizeof main_arena);
  }
  static void UseFont(const char* path) { ASSERT_EQ(LoadFontFace(path), 0) << path; }
  static void FillArena() {
    for (size_t n = 1 << 20; n > 0; n >>= 1)
      while (ArenaAlloc(n) != nullptr) {
      }
  }

  std::vector<uint8_t> block_;
};

using Pic = std::vector<std::string>;

// Side by side (as many rows as the shorter has), one above the other, dark.
inline Pic Beside(const Pic& left, const Pic& right) {
  Pic rows;
  for (size_t i = 0; i < left.size() && i < right.size(); ++i) rows.push_back(left[i] + right[i]);
  return rows;
}
inline Pic Above(Pic top, const Pic& bottom) {
  top.insert(top.end(), bottom.begin(), bottom.end());
  return top;
}
inline Pic Dark(int32_t w, int32_t h) { return Pic(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.')); }
// Rows joined, each ended by '\n'.
inline std::string Art(const Pic& rows) {
  std::string s;
  for (const std::string& r : rows) s += r + '\n';
  return s;
}

// A 16-row cell of the built-in fonts: 8 wide, 16 for a GB2312 pair (lead in the low byte).
inline Pic BuiltInGlyph(uint16_t code) {
  const bool wide = code > 0xFF;
  const uint8_t* rows = wide ? HzkFont + ((code & 0xFF) - 0xA1) * 94 * 32 + ((code >> 8) - 0xA1) * 32
                             : AscFont + code * 16;
  const int pitch = wide ? 2 : 1;
  Pic out(16);
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < 8 * pitch; ++c) out[r] += (rows[r * pitch + c / 8] >> (7 - c % 8)) & 1 ? '#' : '.';
  return out;
}

// Rows of 1-bit pixels, most significant bit leftmost, as rows of '#' and '.' ended by '\n'.
inline std::string Picture(const uint8_t* rows, uint32_t pitch, int32_t width, int32_t height) {
  std::string s;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) s += rows[size_t(y) * pitch + (x >> 3)] & (0x80 >> (x & 7)) ? '#' : '.';
    s += '\n';
  }
  return s;
}
inline std::string Picture(const BmpBlock* b) { return Picture(BmpBlockRows(b), b->pitch, b->width, b->height); }

}  // namespace ledview::test
