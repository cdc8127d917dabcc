// Glyph and layout tests run on a private arena block, with no outline face
// unless a test loads one, and leave neither behind.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

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

  std::vector<uint8_t> block_;
};

// One character per pixel, '#' lit and '.' dark, one line per row.
inline std::string Art(std::initializer_list<const char*> rows) {
  std::string s;
  for (const char* r : rows) {
    s += r;
    s += '\n';
  }
  return s;
}

inline bool BitAt(const uint8_t* rows, uint32_t pitch, int32_t x, int32_t y) {
  return (rows[static_cast<size_t>(y) * pitch + (x >> 3)] & (0x80 >> (x & 7))) != 0;
}

inline std::string Picture(const uint8_t* rows, uint32_t pitch, int32_t width, int32_t height) {
  std::string s;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) s += BitAt(rows, pitch, x, y) ? '#' : '.';
    s += '\n';
  }
  return s;
}

inline std::string Picture(const BmpBlock* image) {
  return Picture(BmpBlockRows(image), image->pitch, image->width, image->height);
}

}  // namespace ledview::test
