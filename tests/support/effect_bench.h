// Display effects on an element with a 1-bit image (colour 3) on a 128 x 64 sign of the colour mode under test.
// Pictures, rows split by spaces: '#' lit image, '.' dark, 'o' a dot (colour 2, dark in mode 1), '7' what was before.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "display/drawops.h"
#include "effects/effects.h"
#include "memory/arena.h"
#include "support/engine_fixture.h"
#include "support/picture.h"

namespace ledview::test {

struct ArenaHog {  // holds every block the arena can give while it lives
  ArenaHog() { for (size_t n = kArenaBlockSize; n > 0; n >>= 1) while (void* p = ArenaAlloc(n)) blocks.push_back(p); }
  ~ArenaHog() { std::for_each(blocks.begin(), blocks.end(), ArenaFree); }
  std::vector<void*> blocks;
};

using PixelTest = std::function<bool(int32_t& u, int32_t& v)>;
inline bool AllLit(int32_t, int32_t) { return true; }
inline bool NoPixel(int32_t, int32_t) { return false; }
inline bool Speckled(int32_t u, int32_t v) { return (u * 5 + v * 3) % 7 < 4; }  // shows a strip from the wrong place

class EffectBench : public EngineTest, public testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    testing::internal::CaptureStdout();  // the sign set-up report
    EXPECT_EQ(InitLedConfigure(128, 64, GetParam()), 0);
    testing::internal::GetCapturedStdout();
    node.header = header_;
  }
  void SetImage(int32_t w, int32_t h, const PixelTest& lit = Speckled) {
    const int32_t pitch = w > 0 ? (w + 7) / 8 : 1;
    pixels_.assign(static_cast<size_t>(pitch * h + 1), 0);
    for (int32_t i = 0, u = 0, v = 0; i < w * h; ++i) {
      if (lit(u = i % w, v = i / w)) pixels_[static_cast<size_t>(i / w * pitch + i % w / 8)] |= static_cast<uint8_t>(0x80 >> (i % w % 8));
    }
    node.image = Bitmap{static_cast<int16_t>(w), static_cast<int16_t>(h), 3, static_cast<int16_t>(pitch), pixels_.data()};
  }
  // A fresh run as the renderer starts one, the rectangle filled with `fill` (7 is lit in every mode).
  void Start(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t speed = 0, uint8_t fill = 0) {
    ArenaFree(node.workBuffer);
    node.workBuffer = nullptr;
    node.step = node.extent = node.stepDelay = 0;
    rx = x, ry = y, rw = w, rh = h;
    header_[8] = static_cast<uint8_t>(speed & 0xFF), header_[9] = static_cast<uint8_t>(speed >> 8);
    FillInside(fill);
  }
  DestRect Rect() const { return {static_cast<uint16_t>(rx), static_cast<uint16_t>(ry), static_cast<uint16_t>(rw), static_cast<uint16_t>(rh)}; }
  void FillInside(uint8_t value) { const DestRect r = Rect(); drawops.FillRect(&r, value); }
  int32_t Call(EffectFunction f) { DestRect r = Rect(); return f(&node, &r); }  // the effect may change its copy
  std::vector<int32_t> Run(EffectFunction f, size_t limit = 1000) {  // until finished
    std::vector<int32_t> results;
    while (results.size() < limit && (results.empty() || results.back() > 0)) results.push_back(Call(f));
    return results;
  }
  // The rectangle showing the image where `shown` holds, else `hidden`; `shown` may move (u, v) to the pixel shown.
  std::string Expect(const PixelTest& shown = AllLit, char hidden = '.') const {
    std::string out;
    for (int32_t i = 0, u = 0, v = 0; i < rw * rh; ++i) {
      const Bitmap& b = node.image;
      const bool in = shown(u = i % rw, v = i / rw);
      const bool lit = in && u >= 0 && v >= 0 && u < b.width && v < b.height && (b.pixels[v * b.pitch + u / 8] & (0x80 >> (u % 8)));
      out += std::string(i > 0 && i % rw == 0 ? " " : "") + (in ? (lit ? '#' : '.') : hidden);
    }
    return out;
  }
  testing::AssertionResult Shows(std::string picture) const {
    for (char& c : picture) c = c == ' ' ? '\n' : GetParam() == 1 ? (c == 'o' ? '.' : c == '7' ? '#' : c) : (c == '#' ? '3' : c == 'o' ? '2' : c);
    return PictureAt(rx, ry, picture);
  }

  uint8_t header_[24] = {};
  ElementNode node{};
  int32_t rx = 0, ry = 0, rw = 0, rh = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace ledview::test
