#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

using test::PatternRows;

class SlideTest : public test::EffectBench {
 protected:
  void SetUp() override {
    EffectBench::SetUp();
    checkEachCall = true;
  }
  // A fresh run: rectangle, speed and image, the earlier picture all '7'.
  void Start(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t speed, const std::vector<std::string>& rows) {
    Reset();
    SetRect(x, y, w, h);
    SetSpeed(speed);
    SetRows(rows);
    FillInside(7);
  }
};

constexpr EffectFunction kSlides[] = {SlideRight,     SlideLeft,    SlideDown,   SlideUp,
                                      SlideDownRight, SlideUpRight, SlideUpLeft, SlideDownLeft};

TEST_P(SlideTest, SlideRightBringsColumnsInLastFirstAndPushesThePicture) {
  Start(5, 3, 6, 2, 0, {"#.#", "##."});
  FillInside(0);
  Paint(0, 0, "77\n7.");
  EXPECT_EQ(Call(SlideRight), 4);
  EXPECT_TRUE(Shows("#77...\n.7...."));
  EXPECT_EQ(Call(SlideRight), 4);
  EXPECT_TRUE(Shows(".#77..\n#.7..."));
  EXPECT_EQ(Call(SlideRight), -1);
  EXPECT_TRUE(Shows("#.#77.\n##.7.."));
}

TEST_P(SlideTest, SlideRightCentresAShortImageAndClearsItsMargins) {
  Start(2, 2, 6, 5, 4, {"##.#", "#..#"});
  EXPECT_EQ(Call(SlideRight), 1);
  EXPECT_TRUE(Shows("..7777\n.#7777\n.#7777\n..7777\n..7777"));
  EXPECT_EQ(Call(SlideRight), -1);
  EXPECT_TRUE(Shows("....77\n##.#77\n#..#77\n....77\n....77"));
}

TEST_P(SlideTest, AnImageNoLongerThanOneStepIsDrawnAtOnce) {
  Start(0, 0, 8, 3, 8, {"#...#", ".###."});
  EXPECT_EQ(Call(SlideRight), -1);
  EXPECT_TRUE(Shows("#...#777\n.###.777\n77777777"));
  Start(0, 0, 8, 3, 8, {"#.", ".#", "##"});
  EXPECT_EQ(Call(SlideDown), -1);
  EXPECT_TRUE(Shows("#.777777\n.#777777\n##777777"));
}

// Final pictures and call counts of the straight slides over image sizes
// smaller, equal and larger than the rectangle and three speeds.
TEST_P(SlideTest, StraightSlidesEndWithTheImageInPlace) {
  struct Size {
    int32_t iw, ih, w, h;
  };
  const Size sizes[] = {{9, 7, 12, 10}, {13, 9, 10, 7}, {14, 8, 10, 12}, {8, 11, 12, 8}, {10, 7, 10, 7}};
  for (const Size& z : sizes) {
    for (uint16_t speed : {0, 4, 8}) {
      for (int32_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << 8 + k << " image " << z.iw << "x" << z.ih << " rect " << z.w
                                        << "x" << z.h << " speed " << speed);
        const bool vertical = k >= 2;
        const bool forward = k % 2 == 0;
        const std::vector<std::string> img = PatternRows(z.iw, z.ih);
        Start(20, 5, z.w, z.h, speed, img);
        const std::vector<int32_t> results = Run(kSlides[k]);
        const int32_t il = vertical ? z.ih : z.iw;
        const int32_t len = vertical ? z.h : z.w;
        const int32_t travel = forward ? il : std::max(il, len);
        EXPECT_EQ(static_cast<int32_t>(results.size()), (travel + PixelStep[speed] - 1) / PixelStep[speed]);
        EXPECT_EQ(results.back(), -1);
        EXPECT_EQ(std::count(results.begin(), results.end(), FirstDelay[speed]),
                  static_cast<int64_t>(results.size()) - 1);
        // Across the motion a narrower image is centred; along it the image
        // starts at the near edge, or shows its far end when longer.
        const int32_t ox = vertical && z.iw < z.w ? (z.w - z.iw) >> 1 : 0;
        const int32_t oy = !vertical && z.ih < z.h ? (z.h - z.ih) >> 1 : 0;
        const int32_t skip = forward ? 0 : std::max(il - len, 0);
        std::string want;
        for (int32_t y = 0; y < z.h; ++y) {
          if (y > 0) want += '\n';
          for (int32_t x = 0; x < z.w; ++x) {
            const int32_t u = x - ox + (vertical ? 0 : skip);
            const int32_t v = y - oy + (vertical ? skip : 0);
            if (u >= 0 && u < z.iw && v >= 0 && v < z.ih) {
              want += img[v][u];
            } else {
              want += forward && (vertical ? y : x) >= il ? '7' : '.';
            }
          }
        }
        EXPECT_TRUE(Shows(want));
      }
    }
  }
}

TEST_P(SlideTest, SlideDownRightPushesThePictureDiagonally) {
  Start(4, 4, 4, 3, 0, {"#.", "##"});
  EXPECT_EQ(Call(SlideDownRight), 4);
  EXPECT_TRUE(Shows("7777\n7777\n7777"));
  EXPECT_EQ(Call(SlideDownRight), 4);
  EXPECT_TRUE(Shows("#...\n.777\n.777"));
  EXPECT_EQ(Call(SlideDownRight), 4);
  EXPECT_TRUE(Shows("#...\n##..\n..77"));
  EXPECT_EQ(Call(SlideDownRight), -1);
}

// Slot 12 travels max(iw, ih), 13 max(iw, H), 14 max(W, H), 15 max(W, ih):
// one set-up call, the steps (a diagonal step stops where the shorter travel
// ends) and a finishing call.
TEST_P(SlideTest, DiagonalSlidesTravelTheirOwnDistances) {
  const std::vector<std::string> solid(5, "##");
  const std::pair<EffectFunction, size_t> speed0[] = {
      {SlideDownRight, 5 + 2}, {SlideUpRight, 3 + 2}, {SlideUpLeft, 6 + 2}, {SlideDownLeft, 6 + 2}};
  for (const auto& [f, calls] : speed0) {
    Start(0, 0, 6, 3, 0, solid);
    EXPECT_EQ(Run(f).size(), calls);
  }
  // 2 pixels: the diagonal part of 12 ends at 2, the rest takes ceil(3 / 2)
  const std::pair<EffectFunction, size_t> speed4[] = {
      {SlideDownRight, 1 + 1 + 2 + 1}, {SlideUpRight, 1 + 1 + 1 + 1}, {SlideUpLeft, 1 + 2 + 2 + 1},
      {SlideDownLeft, 1 + 3 + 1 + 1}};
  for (const auto& [f, calls] : speed4) {
    Start(0, 0, 6, 3, 4, solid);
    EXPECT_EQ(Run(f).size(), calls);
  }
}

// Every diagonal slide, every size relation and three speeds: the image ends
// exactly at the top-left corner; only slot 12 leaves part of the earlier
// picture (pushed by the image's size), everything else is blank.
TEST_P(SlideTest, DiagonalSlidesEndWithTheImageAtTheCorner) {
  struct Size {
    int32_t iw, ih, w, h;
  };
  const Size sizes[] = {{14, 10, 10, 8}, {14, 5, 10, 8}, {6, 12, 10, 8}, {5, 4, 10, 8}, {10, 8, 10, 8}, {3, 2, 4, 3}};
  for (const Size& z : sizes) {
    for (uint16_t speed : {0, 5, 8}) {
      for (int32_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << 12 + k << " image " << z.iw << "x" << z.ih << " speed "
                                        << speed);
        const std::vector<std::string> img = PatternRows(z.iw, z.ih);
        Start(30, 9, z.w, z.h, speed, img);
        const std::vector<int32_t> results = Run(kSlides[4 + k]);
        EXPECT_EQ(results.back(), -1);
        // When one step covers the travel the image is simply drawn over the
        // earlier picture.
        const int32_t travels[] = {std::max(z.iw, z.ih), std::max(z.iw, z.h), std::max(z.w, z.h),
                                   std::max(z.w, z.ih)};
        const bool atonce = PixelStep[speed] >= travels[k];
        if (atonce) {
          EXPECT_EQ(results.size(), 1u);
        } else {
          EXPECT_GE(results.size(), 3u);
          EXPECT_TRUE(
              std::all_of(results.begin(), results.end() - 1, [&](int32_t v) { return v == FirstDelay[speed]; }));
        }
        std::string want;
        for (int32_t y = 0; y < z.h; ++y) {
          if (y > 0) want += '\n';
          for (int32_t x = 0; x < z.w; ++x) {
            if (x < z.iw && y < z.ih) {
              want += img[y][x];
            } else {
              want += atonce || (k == 0 && x >= z.iw && y >= z.ih) ? '7' : '.';
            }
          }
        }
        EXPECT_TRUE(Shows(want));
      }
    }
  }
}

TEST_P(SlideTest, SpeedsAboveEightStepLikeEight) {
  Start(0, 0, 20, 4, 8, PatternRows(20, 4));
  const std::vector<int32_t> at8 = Run(SlideLeft);
  EXPECT_EQ(at8, (std::vector<int32_t>{1, 1, 1, -1}));
  for (uint16_t speed : {9, 300, 0xFFFF}) {
    Start(0, 0, 20, 4, speed, PatternRows(20, 4));
    EXPECT_EQ(Run(SlideLeft), at8);
    EXPECT_TRUE(ShowsImage());
  }
}

TEST_P(SlideTest, EmptyImagesFinishAtOnceWithoutDrawing) {
  for (EffectFunction f : kSlides) {
    for (int32_t k = 0; k < 3; ++k) {
      SCOPED_TRACE(k);
      Start(3, 3, 10, 6, 0, {});
      if (k == 0) SetImage(0, 5);
      if (k == 1) SetImage(7, 0);
      if (k == 2) {
        SetImage(7, 5);
        node.image.pixels = nullptr;
      }
      EXPECT_EQ(Call(f), -1);
      EXPECT_TRUE(Shows(Expect([](int32_t, int32_t) { return false; }, '7')));
    }
  }
}

// One-pixel and small rectangles in the framebuffer's corners: every slide
// finishes, stays inside its rectangle (checked on every call) and ends with
// the image's top-left pixel at the rectangle's corner.
TEST_P(SlideTest, SlidesFinishInTinyRectanglesAtTheFramebufferEdges) {
  const int32_t fbw = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbh = static_cast<int32_t>(framebuffer.fbheight);
  const std::pair<int32_t, int32_t> rects[] = {{1, 1}, {1, 7}, {7, 1}, {2, 3}};
  const std::pair<int32_t, int32_t> images[] = {{1, 1}, {9, 4}, {3, 12}};
  for (const auto& [w, h] : rects) {
    for (const auto& [iw, ih] : images) {
      for (uint16_t speed : {0, 8}) {
        for (int32_t corner = 0; corner < 2; ++corner) {
          for (size_t k = 0; k < std::size(kSlides); ++k) {
            SCOPED_TRACE(testing::Message() << "slot " << 8 + k << " rect " << w << "x" << h << " image " << iw
                                            << "x" << ih << " speed " << speed << " corner " << corner);
            Start(corner == 0 ? 0 : fbw - w, corner == 0 ? 0 : fbh - h, w, h, speed,
                  std::vector<std::string>(static_cast<size_t>(ih), std::string(static_cast<size_t>(iw), '#')));
            FillInside(0);
            EXPECT_EQ(Run(kSlides[k], 100).back(), -1);
            // A straight slide centres a narrower image across its motion,
            // unless a single step covered the whole travel.
            int32_t ox = 0, oy = 0;
            if (k < 4) {
              const bool vertical = k >= 2;
              const int32_t il = vertical ? ih : iw;
              const int32_t len = vertical ? h : w;
              const int32_t travel = k % 2 == 0 ? il : std::max(il, len);
              if (travel > PixelStep[speed]) {
                if (vertical && iw < w) ox = (w - iw) >> 1;
                if (!vertical && ih < h) oy = (h - ih) >> 1;
              }
            }
            EXPECT_TRUE(Lit(ox, oy));
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, SlideTest, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
