// A graphics-context driver for tests: it logs every callback and paints a
// small character grid, so tests see both the calls the layer makes and the
// picture they add up to.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/graphics.h"

namespace ledview::test {

struct GfxCall {
  char kind;  // 'r' fillrect, 'p' setpixel, 'h' hline
  int32_t a;  // r: x, y, width, height; p: x, y; h: y, x0, x1
  int32_t b;
  int32_t c;
  int32_t d;
  int32_t colour;
  bool operator==(const GfxCall&) const = default;
};
void PrintTo(const GfxCall& call, std::ostream* os);

// Calls outside the grid are logged and flagged, not painted.
struct GfxCanvas {
  static constexpr int32_t kWidth = 64;
  static constexpr int32_t kHeight = 32;
  char cells[kHeight][kWidth];
  std::vector<GfxCall> calls;
  bool strayed = false;

  void Clear();
  // '.' for untouched cells, the colour digit (0..9) otherwise.
  std::string Picture(int32_t x, int32_t y, int32_t w, int32_t h) const;
  int32_t Lit() const;
};

// A context on the canvas, kWidth x kHeight, with an arena for the fills.
class GfxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  GfxCanvas canvas;
  GraphicsContext* ctx = nullptr;
};

}  // namespace ledview::test
