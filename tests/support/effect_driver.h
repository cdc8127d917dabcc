// Driving one display effect step by step on a small sign: an element record
// with its header and image, the content rectangle, and a call that fails the
// test when the effect touches a pixel outside that rectangle (within 16 rows
// of it, where a strip that slips its rectangle lands) or takes memory
// from the arena.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/drawtypes.h"
#include "effects/effects.h"
#include "playbill/nodes.h"
#include "support/engine_fixture.h"

namespace ledview::test {

// Pictures for effect tests use '#' for image pixels (colour 1), 'o' for
// what was on the sign before (colour 2) and '.' for dark.
class EffectDriver : public EngineTest {
 protected:
  // Configures a 64 x 32 sign in `mode` (stdout captured) and clears it.
  void Configure(int32_t mode);

  // The element's 1-bit image (format 1), one string per row, '#' set.
  void SetImage(const std::vector<std::string>& rows);
  // A w x h image whose every pixel is set.
  void SetSolidImage(int32_t w, int32_t h);
  void SetSpeed(uint16_t speed);
  void SetRect(uint16_t x, uint16_t y, uint16_t w, uint16_t h) { rect = {x, y, w, h}; }

  // Draws a picture of '#', 'o' and '.' at (x, y).
  static void Paint(int32_t x, int32_t y, const std::string& picture);
  // Fills the rectangle with the colour of 'o'.
  void PaintOld();

  // One effect call. Records a failure when a pixel outside the rectangle
  // changed or the arena lost memory.
  int32_t Call(EffectFunction f);
  // Calls until the effect finishes or `limit` calls were made; the results.
  std::vector<int32_t> Run(EffectFunction f, int32_t limit = 1000);

  // The picture in the sign's layout: colour mode 1 shows '#' and 'o' lit.
  std::string Expect(const std::string& picture) const;
  // The rectangle shows `picture` (as wide and tall as the rectangle).
  testing::AssertionResult Shows(const std::string& picture) const;
  // The rectangle shows the image at its top-left corner, dark where the
  // image does not reach.
  testing::AssertionResult ShowsImageAtCorner() const;

  // Starts the next effect as the renderer does: step and extent back to 0.
  void Restart() {
    element.step = 0;
    element.extent = 0;
  }

  int32_t mode = 1;
  ElementNode element{};
  uint8_t header[24]{};
  std::vector<uint8_t> pixels;
  std::vector<std::string> imagerows;
  DestRect rect{0, 0, 0, 0};
  int32_t calls = 0;
};

// The same tests in the bit-plane layout (colour mode 1) and the
// byte-per-pixel layout (colour mode 4).
class EffectLayouts : public EffectDriver, public testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Configure(GetParam());
  }
};

// An irregular w x h image, so that a column or row out of place shows.
std::vector<std::string> PatternRows(int32_t w, int32_t h);

std::string LayoutName(const testing::TestParamInfo<int32_t>& info);

}  // namespace ledview::test
