// A bench for display effects: one element with a 1-bit image, a rectangle on
// a 128 x 64 sign of the colour mode under test, and pictures of what the
// effect has drawn.
//
// Pictures of the rectangle use '#' for a lit image pixel, '.' for a dark
// pixel, 'o' for a DotOverlay dot (colour 2, which colour mode 1 shows dark),
// '7' for what was on the sign before (lit in every layout) and 's' for the
// sentinel colour. Outside the rectangle the framebuffer holds the sentinel,
// and OutsideUntouched checks that it still does.
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
// Irregular enough that a strip drawn from the wrong place shows.
inline bool Speckled(int32_t u, int32_t v) { return (u * 5 + v * 3) % 7 < 4; }

// Takes every block the arena can give, and returns them when destroyed.
class ArenaHog {
 public:
  ArenaHog();
  ~ArenaHog();
  ArenaHog(const ArenaHog&) = delete;
  ArenaHog& operator=(const ArenaHog&) = delete;

 private:
  std::vector<void*> blocks_;
};

class EffectBenchBase : public EngineTest {
 protected:
  // The colour mode under test.
  virtual int32_t Mode() const = 0;
  void SetUp() override;

  bool BitPlane() const { return Mode() == 1; }

  // A w x h image (format 3: colour 3, lit in every layout) lit where `lit`
  // says.
  void SetImage(int32_t w, int32_t h, const PixelTest& lit = Speckled);
  // The image from rows of '#' (lit) and '.'.
  void SetRows(const std::vector<std::string>& rows);
  void SetSpeed(uint32_t speed);
  // Places the rectangle: the framebuffer becomes sentinel outside it and
  // clear inside.
  void SetRect(int32_t x, int32_t y, int32_t w, int32_t h);
  // Fills the rectangle with a colour value (7 shows lit in every layout).
  void FillInside(uint8_t value);
  // Draws a picture of '#' (colour 3), '7' and '.' at (u, v) of the rectangle.
  void Paint(int32_t u, int32_t v, const std::string& picture);
  // What the renderer does between effects: work buffer freed, step and
  // extent 0. stepDelay is kept.
  void Reset();

  // With `checkEachCall`, every call also fails the test when it changes a
  // pixel outside the rectangle, takes arena memory or leaves a work buffer.
  int32_t Call(EffectFunction f);
  // Calls until the effect reports finished (or `limit` calls), with every
  // result.
  std::vector<int32_t> Run(EffectFunction f, size_t limit = 1000);

  // The rectangle as a picture: image pixels where `shown` holds, `hidden`
  // elsewhere (image pixels beyond the image are dark).
  std::string Expect(const PixelTest& shown, char hidden = '.') const;
  std::string ExpectWhole() const { return Expect(AllShown); }
  // The rectangle as a picture where pixel (u, v) shows image pixel
  // (su, sv) when `source` gives one, and `hidden` otherwise.
  using SourceOf = std::function<bool(int32_t u, int32_t v, int32_t* su, int32_t* sv)>;
  std::string ExpectFrom(const SourceOf& source, char hidden = '.') const;
  // The framebuffer pixel at (u, v) of the rectangle is lit (non-zero).
  bool Lit(int32_t u, int32_t v) const;
  // The rectangle shows image pixels where `shown` holds and dark pixels
  // elsewhere; checked pixel by pixel, with pictures only on a mismatch.
  testing::AssertionResult ShowsImage(const PixelTest& shown = AllShown) const;
  // The rectangle (or the part of it at (u, v)) matches the picture.
  testing::AssertionResult Shows(const std::string& picture) const;
  testing::AssertionResult ShowsAt(int32_t u, int32_t v, const std::string& picture) const;
  testing::AssertionResult OutsideUntouched() const;

  // The image pixel (u, v) is lit.
  bool ImageLit(int32_t u, int32_t v) const;

  static bool AllShown(int32_t, int32_t) { return true; }

  bool checkEachCall = false;
  ElementNode node{};
  int32_t rx = 0, ry = 0, rw = 0, rh = 0;

 private:
  std::string Converted(const std::string& picture) const;

  std::vector<uint8_t> header_ = std::vector<uint8_t>(24, 0);
  std::vector<uint8_t> pixels_;
  DestRect rect_{};
};

// Parameter: the colour mode.
class EffectBench : public EffectBenchBase, public testing::WithParamInterface<int32_t> {
 protected:
  int32_t Mode() const override { return GetParam(); }
};

// "ColourMode1", "ColourMode4" for parameterised suites.
std::string ModeName(const testing::TestParamInfo<int32_t>& info);

// An irregular w x h image as rows, so that a column or row out of place shows.
std::vector<std::string> PatternRows(int32_t w, int32_t h);

}  // namespace ledview::test
