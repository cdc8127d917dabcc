#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "effects/effects.h"
#include "support/effect_driver.h"
#include "support/picture.h"

namespace ledview {
namespace {

using test::EffectLayouts;

using test::PatternRows;

int32_t CeilDiv(int32_t a, int32_t b) { return (a + b - 1) / b; }

class SlideTest : public EffectLayouts {};

TEST_P(SlideTest, SlideRightBringsColumnsInLastFirstAndPushesThePicture) {
  SetRect(5, 3, 6, 2);
  SetImage({"#.#", "##."});
  Paint(5, 3, R"(oo....
                 o.....)");
  EXPECT_EQ(Call(SlideRight), 4);
  EXPECT_TRUE(Shows(R"(#oo...
                       .o....)"));
  EXPECT_EQ(Call(SlideRight), 4);
  EXPECT_TRUE(Shows(R"(.#oo..
                       #.o...)"));
  EXPECT_EQ(Call(SlideRight), -1);
  EXPECT_TRUE(Shows(R"(#.#oo.
                       ##.o..)"));
}

TEST_P(SlideTest, SlideRightCentresAShortImageAndClearsItsMargins) {
  SetRect(2, 2, 6, 5);
  SetSpeed(4);
  SetImage({"##.#", "#..#"});
  PaintOld();
  EXPECT_EQ(Call(SlideRight), 1);
  EXPECT_TRUE(Shows(R"(..oooo
                       .#oooo
                       .#oooo
                       ..oooo
                       ..oooo)"));
  EXPECT_EQ(Call(SlideRight), -1);
  EXPECT_TRUE(Shows(R"(....oo
                       ##.#oo
                       #..#oo
                       ....oo
                       ....oo)"));
}

TEST_P(SlideTest, AnImageNoLongerThanOneStepIsDrawnAtOnce) {
  SetRect(0, 0, 8, 3);
  SetSpeed(8);
  SetImage({"#...#", ".###."});
  PaintOld();
  EXPECT_EQ(Call(SlideRight), -1);
  EXPECT_TRUE(Shows(R"(#...#ooo
                       .###.ooo
                       oooooooo)"));
  Restart();
  SetImage({"#.", ".#", "##"});
  PaintOld();
  EXPECT_EQ(Call(SlideDown), -1);
  EXPECT_TRUE(Shows(R"(#.oooooo
                       .#oooooo
                       ##oooooo)"));
}

TEST_P(SlideTest, SlideDownCentresANarrowImage) {
  SetRect(1, 1, 5, 4);
  SetImage({"#.#", ".##"});
  PaintOld();
  EXPECT_EQ(Call(SlideDown), 4);
  EXPECT_TRUE(Shows(R"(..##.
                       ooooo
                       ooooo
                       ooooo)"));
  EXPECT_EQ(Call(SlideDown), -1);
  EXPECT_TRUE(Shows(R"(.#.#.
                       ..##.
                       ooooo
                       ooooo)"));
}

TEST_P(SlideTest, SlideLeftTravelsTheRectangleWhenTheImageIsShorter) {
  SetRect(3, 4, 30, 4);
  SetSpeed(8);
  SetSolidImage(10, 4);
  PaintOld();
  EXPECT_EQ(Call(SlideLeft), 1);
  EXPECT_EQ(Call(SlideLeft), 1);
  // Pushed 12: the image stands from column 18, blank behind it.
  const std::string row = std::string(18, 'o') + std::string(10, '#') + "..";
  EXPECT_TRUE(Shows(row + "\n" + row + "\n" + row + "\n" + row));
  const std::vector<int32_t> rest = Run(SlideLeft);
  EXPECT_EQ(rest, (std::vector<int32_t>{1, 1, -1}));
  EXPECT_TRUE(ShowsImageAtCorner());
}

TEST_P(SlideTest, SlideLeftAndUpEndWithTheImagesFarEnd) {
  SetRect(0, 0, 4, 2);
  SetImage({"#..#.#", ".##..#"});
  EXPECT_EQ(Run(SlideLeft).size(), 6u);
  EXPECT_TRUE(Shows(R"(.#.#
                       #..#)"));
  Restart();
  SetRect(10, 10, 2, 3);
  SetImage({"#.", ".#", "##", "..", "#."});
  EXPECT_EQ(Run(SlideUp).size(), 5u);
  EXPECT_TRUE(Shows(R"(##
                       ..
                       #.)"));
}

TEST_P(SlideTest, SlideUpKeepsAShortImageGoingUntilItReachesTheTop) {
  SetRect(0, 0, 3, 5);
  SetImage({"#.#", ".#."});
  PaintOld();
  EXPECT_EQ(Run(SlideUp), (std::vector<int32_t>{4, 4, 4, 4, -1}));
  EXPECT_TRUE(ShowsImageAtCorner());
}

// Final pictures and call counts of the straight slides over image sizes
// smaller, equal and larger than the rectangle and three speeds; the picture
// that was on the sign is all 'o'.
TEST_P(SlideTest, StraightSlidesEndWithTheImageInPlace) {
  struct Size {
    int32_t iw, ih, w, h;
  };
  const Size sizes[] = {{9, 7, 12, 10}, {13, 9, 10, 7}, {14, 8, 10, 12}, {8, 11, 12, 8}, {10, 7, 10, 7}};
  const EffectFunction slides[] = {SlideRight, SlideLeft, SlideDown, SlideUp};
  for (const Size& z : sizes) {
    for (uint16_t speed : {0, 4, 8}) {
      for (int32_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << 8 + k << " image " << z.iw << "x" << z.ih << " rect " << z.w
                                        << "x" << z.h << " speed " << speed);
        const bool vertical = k >= 2;
        const bool forward = k % 2 == 0;
        ClearFrameBuffer();
        element = ElementNode{};
        element.header = header;
        SetSpeed(speed);
        SetRect(20, 5, static_cast<uint16_t>(z.w), static_cast<uint16_t>(z.h));
        const std::vector<std::string> img = PatternRows(z.iw, z.ih);
        SetImage(img);
        PaintOld();
        const std::vector<int32_t> results = Run(slides[k]);
        const int32_t il = vertical ? z.ih : z.iw;
        const int32_t len = vertical ? z.h : z.w;
        const int32_t travel = forward ? il : std::max(il, len);
        EXPECT_EQ(static_cast<int32_t>(results.size()), CeilDiv(travel, PixelStep[speed]));
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
            const int32_t along = vertical ? y : x;
            if (u >= 0 && u < z.iw && v >= 0 && v < z.ih) {
              want += img[v][u];
            } else {
              want += forward && along >= il ? 'o' : '.';
            }
          }
        }
        EXPECT_TRUE(Shows(want));
      }
    }
  }
}

TEST_P(SlideTest, SlideDownRightPushesThePictureDiagonally) {
  SetRect(4, 4, 4, 3);
  SetImage({"#.", "##"});
  PaintOld();
  EXPECT_EQ(Call(SlideDownRight), 4);
  EXPECT_TRUE(Shows(R"(oooo
                       oooo
                       oooo)"));
  EXPECT_EQ(Call(SlideDownRight), 4);
  EXPECT_TRUE(Shows(R"(#...
                       .ooo
                       .ooo)"));
  EXPECT_EQ(Call(SlideDownRight), 4);
  EXPECT_TRUE(Shows(R"(#...
                       ##..
                       ..oo)"));
  EXPECT_EQ(Call(SlideDownRight), -1);
}

TEST_P(SlideTest, SlideUpLeftBringsTheImageInCornerFirst) {
  SetRect(0, 0, 3, 3);
  SetImage({"#.#", ".##", "#.."});
  PaintOld();
  EXPECT_EQ(Call(SlideUpLeft), 4);
  EXPECT_EQ(Call(SlideUpLeft), 4);
  EXPECT_TRUE(Shows(R"(oo.
                       oo.
                       ..#)"));
  EXPECT_EQ(Call(SlideUpLeft), 4);
  EXPECT_TRUE(Shows(R"(o..
                       .#.
                       ..#)"));
  EXPECT_EQ(Call(SlideUpLeft), 4);
  EXPECT_EQ(Call(SlideUpLeft), -1);
  EXPECT_TRUE(ShowsImageAtCorner());
}

// Slot 12 travels max(iw, ih), 13 max(iw, H), 14 max(W, H), 15 max(W, ih):
// one set-up call, the steps (a diagonal step stops where the shorter travel
// ends) and a finishing call.
TEST_P(SlideTest, DiagonalSlidesTravelTheirOwnDistances) {
  SetRect(0, 0, 6, 3);
  SetSolidImage(2, 5);
  const std::pair<EffectFunction, size_t> speed0[] = {
      {SlideDownRight, 5 + 2}, {SlideUpRight, 3 + 2}, {SlideUpLeft, 6 + 2}, {SlideDownLeft, 6 + 2}};
  for (const auto& [f, calls] : speed0) {
    Restart();
    EXPECT_EQ(Run(f).size(), calls);
  }
  SetSpeed(4);  // 2 pixels: the diagonal part of 12 ends at 2, the rest takes ceil(3 / 2)
  const std::pair<EffectFunction, size_t> speed4[] = {
      {SlideDownRight, 1 + 1 + 2 + 1}, {SlideUpRight, 1 + 1 + 1 + 1}, {SlideUpLeft, 1 + 2 + 2 + 1},
      {SlideDownLeft, 1 + 3 + 1 + 1}};
  for (const auto& [f, calls] : speed4) {
    Restart();
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
  const EffectFunction slides[] = {SlideDownRight, SlideUpRight, SlideUpLeft, SlideDownLeft};
  for (const Size& z : sizes) {
    for (uint16_t speed : {0, 5, 8}) {
      for (int32_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << 12 + k << " image " << z.iw << "x" << z.ih << " speed "
                                        << speed);
        ClearFrameBuffer();
        element = ElementNode{};
        element.header = header;
        SetSpeed(speed);
        SetRect(30, 9, static_cast<uint16_t>(z.w), static_cast<uint16_t>(z.h));
        const std::vector<std::string> img = PatternRows(z.iw, z.ih);
        SetImage(img);
        PaintOld();
        const std::vector<int32_t> results = Run(slides[k]);
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
          EXPECT_TRUE(std::all_of(results.begin(), results.end() - 1, [&](int32_t v) { return v == FirstDelay[speed]; }));
        }
        std::string want;
        for (int32_t y = 0; y < z.h; ++y) {
          if (y > 0) want += '\n';
          for (int32_t x = 0; x < z.w; ++x) {
            if (x < z.iw && y < z.ih) {
              want += img[y][x];
            } else {
              want += atonce || (k == 0 && x >= z.iw && y >= z.ih) ? 'o' : '.';
            }
          }
        }
        EXPECT_TRUE(Shows(want));
      }
    }
  }
}

TEST_P(SlideTest, SpeedsAboveEightStepLikeEight) {
  SetRect(0, 0, 20, 4);
  SetImage(PatternRows(20, 4));
  SetSpeed(8);
  const std::vector<int32_t> at8 = Run(SlideLeft);
  EXPECT_EQ(at8, (std::vector<int32_t>{1, 1, 1, -1}));
  const std::string picture = test::ReadPicture(0, 0, 20, 4);
  for (uint16_t speed : {9, 300, 0xFFFF}) {
    ClearFrameBuffer();
    Restart();
    SetSpeed(speed);
    EXPECT_EQ(Run(SlideLeft), at8);
    EXPECT_EQ(test::ReadPicture(0, 0, 20, 4), picture);
  }
}

constexpr EffectFunction kSlides[] = {SlideRight,     SlideLeft,    SlideDown,   SlideUp,
                                     SlideDownRight, SlideUpRight, SlideUpLeft, SlideDownLeft};

TEST_P(SlideTest, EmptyImagesFinishAtOnceWithoutDrawing) {
  SetRect(3, 3, 10, 6);
  PaintOld();
  const std::string before = test::ReadPicture(3, 3, 10, 6);
  for (EffectFunction f : kSlides) {
    for (int32_t k = 0; k < 3; ++k) {
      SCOPED_TRACE(k);
      Restart();
      if (k == 0) SetSolidImage(0, 5);
      if (k == 1) SetSolidImage(7, 0);
      if (k == 2) {
        SetSolidImage(7, 5);
        element.image.pixels = nullptr;
      }
      EXPECT_EQ(Call(f), -1);
      EXPECT_EQ(test::ReadPicture(3, 3, 10, 6), before);
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
            element = ElementNode{};
            element.header = header;
            SetSpeed(speed);
            SetRect(static_cast<uint16_t>(corner == 0 ? 0 : fbw - w), static_cast<uint16_t>(corner == 0 ? 0 : fbh - h),
                    static_cast<uint16_t>(w), static_cast<uint16_t>(h));
            SetSolidImage(iw, ih);
            const std::vector<int32_t> results = Run(kSlides[k], 100);
            EXPECT_EQ(results.back(), -1);
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
            EXPECT_EQ(test::ReadPicture(rect.x + ox, rect.y + oy, 1, 1), Expect("#"));
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SlideTest, testing::Values(1, 4), test::LayoutName);

}  // namespace
}  // namespace ledview

