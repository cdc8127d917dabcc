// A bench for display effects: an element with a 1-bit image (colour 3) and a
// rectangle on a 128 x 64 sign of the colour mode under test (the parameter).
// Pictures: '#' a lit image pixel, '.' dark, 'o' a DotOverlay dot (colour 2,
// dark in colour mode 1), '7' what was there before; rows split by spaces.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "effects/effects.h"
#include "support/engine_fixture.h"

namespace ledview::test {

using PixelTest = std::function<bool(int32_t u, int32_t v)>;
inline bool AllLit(int32_t, int32_t) { return true; }
inline bool NoPixel(int32_t, int32_t) { return false; }
// Irregular enough that a strip drawn from the wrong place shows.
inline bool Speckled(int32_t u, int32_t v) { return (u * 5 + v * 3) % 7 < 4; }

// Holds every block the arena can give while it lives.
struct ArenaHog {
  ArenaHog();
  ~ArenaHog();
  std::vector<void*> blocks;
};

class EffectBench : public EngineTest, public testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override;
  void SetImage(int32_t w, int32_t h, const PixelTest& lit = Speckled);
  void SetRows(const std::vector<std::string>& rows);
  // A fresh run as the renderer starts one: no work buffer, step, extent and
  // stepDelay 0; the rectangle filled with `fill` (7 is lit in every mode).
  void Start(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t speed = 0, uint8_t fill = 0);
  void FillInside(uint8_t value);
  int32_t Call(EffectFunction f);
  // Every result until the effect reports finished (or `limit` calls).
  std::vector<int32_t> Run(EffectFunction f, size_t limit = 1000);
  // The rectangle showing image pixel (su, sv) at (u, v) where `source` gives one, else `hidden`.
  using SourceOf = std::function<bool(int32_t u, int32_t v, int32_t* su, int32_t* sv)>;
  std::string ExpectFrom(const SourceOf& source, char hidden = '.') const;
  std::string Expect(const PixelTest& shown, char hidden = '.') const;
  bool Lit(int32_t u, int32_t v) const;
  testing::AssertionResult Shows(const std::string& picture) const;
  testing::AssertionResult ShowsImage(const PixelTest& shown = AllLit) const { return Shows(Expect(shown)); }

  ElementNode node{};
  int32_t rx = 0, ry = 0, rw = 0, rh = 0;

 private:
  DestRect Rect() const;
  uint8_t header_[24] = {};
  std::vector<uint8_t> pixels_;
};

inline std::string ModeName(const testing::TestParamInfo<int32_t>& info) { return "ColourMode" + std::to_string(info.param); }

}  // namespace ledview::test
