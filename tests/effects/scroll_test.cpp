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

class ScrollTest : public EffectLayouts {
 protected:
  // Calls once, expecting the effect to go on after FirstDelay ticks.
  bool Steps() { return Call(current) == FirstDelay[EffectSpeed(&element)]; }
  bool PassEnded() const { return element.step == 0 && element.extent == 0; }
  EffectFunction current = nullptr;
};

constexpr EffectFunction kScrolls[] = {ScrollThroughRight, ScrollThroughLeft, ScrollThroughDown, ScrollThroughUp,
                                       ScrollLoopRight,    ScrollLoopLeft,    ScrollLoopDown,    ScrollLoopUp};

TEST_P(ScrollTest, ScrollLoopRightWrapsWithoutAGap) {
  current = ScrollLoopRight;
  SetRect(7, 1, 5, 2);
  SetImage({"#.#", "##."});
  PaintOld();
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows(R"(#oooo
                       .oooo)"));
  ASSERT_TRUE(Steps());
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(PassEnded());
  EXPECT_TRUE(Shows(R"(#.#oo
                       ##.oo)"));
  ASSERT_TRUE(Steps());
  EXPECT_FALSE(PassEnded());
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows(R"(.##.#
                       #.##.)"));
}

TEST_P(ScrollTest, ScrollLoopDownCentresANarrowImage) {
  current = ScrollLoopDown;
  SetRect(0, 5, 3, 2);
  SetImage({"#", "#", "."});
  PaintOld();
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows(R"(...
                       ooo)"));
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows(R"(.#.
                       ...)"));
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(PassEnded());
  EXPECT_TRUE(Shows(R"(.#.
                       .#.)"));
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows(R"(...
                       .#.)"));
}

TEST_P(ScrollTest, ScrollThroughRightCrossesAtTheTopAndLeavesBlank) {
  current = ScrollThroughRight;
  SetRect(2, 2, 4, 3);
  SetImage({"#."});
  PaintOld();
  const char* pictures[] = {
      ".ooo\n.ooo\n.ooo",  // set-up: one blank strip pushed in
      "..oo\n..oo\n..oo", "#..o\n...o\n...o", ".#..\n....\n....",
      "..#.\n....\n....", "...#\n....\n....", "....\n....\n....",
  };
  for (const char* picture : pictures) {
    ASSERT_TRUE(Steps());
    EXPECT_TRUE(Shows(picture));
  }
  EXPECT_TRUE(PassEnded());
  ASSERT_TRUE(Steps());
  EXPECT_EQ(element.extent, 2u + 4u);
}

TEST_P(ScrollTest, ScrollThroughUpKeepsToTheLeftEdge) {
  current = ScrollThroughUp;
  SetRect(9, 3, 3, 3);
  SetImage({"#", "."});
  PaintOld();
  const char* pictures[] = {"ooo\nooo\n...", "ooo\n...\n#..", "...\n#..\n...", "#..\n...\n...",
                            "...\n...\n...", "...\n...\n..."};
  for (const char* picture : pictures) {
    ASSERT_TRUE(Steps());
    EXPECT_TRUE(Shows(picture));
  }
  EXPECT_TRUE(PassEnded());
}

TEST_P(ScrollTest, ScrollThroughLeftCutsItsLastStepAtTheEnd) {
  current = ScrollThroughLeft;
  SetRect(0, 0, 5, 1);
  SetSpeed(8);
  SetImage({"##"});
  PaintOld();
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("ooooo"));
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("#...."));
  EXPECT_EQ(element.step, 6u);
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("....."));
  EXPECT_TRUE(PassEnded());
}

TEST_P(ScrollTest, AnImageShorterThanAStepStandsStillAndNeverEnds) {
  SetRect(4, 4, 8, 3);
  SetSpeed(8);
  SetImage({"#..#", ".##."});
  PaintOld();
  for (EffectFunction f : {ScrollLoopRight, ScrollLoopLeft}) {
    current = f;
    for (int32_t i = 0; i < 10; ++i) {
      element.stepDelay = 0;  // as an effect that ended without a delay leaves it
      ASSERT_TRUE(Steps());
      EXPECT_TRUE(PassEnded());
    }
    EXPECT_TRUE(Shows(R"(#..#oooo
                         .##.oooo
                         oooooooo)"));
  }
}

// Every scroll over image sizes smaller and larger than the rectangle and
// three speeds: never finished, a new pass after exactly the pass's steps,
// and after each pass a loop shows the image where a slide would have
// stopped, a crossing scroll an empty rectangle.
TEST_P(ScrollTest, PassesRepeatForever) {
  struct Size {
    int32_t iw, ih, w, h;
  };
  const Size sizes[] = {{9, 7, 12, 10}, {13, 9, 10, 7}, {14, 8, 10, 12}, {8, 11, 12, 8}};
  for (const Size& z : sizes) {
    for (uint16_t speed : {0, 4, 8}) {
      for (int32_t k = 0; k < 8; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << 45 + k << " image " << z.iw << "x" << z.ih << " speed "
                                        << speed);
        ClearFrameBuffer();
        element = ElementNode{};
        element.header = header;
        SetSpeed(speed);
        SetRect(40, 2, static_cast<uint16_t>(z.w), static_cast<uint16_t>(z.h));
        const std::vector<std::string> img = test::PatternRows(z.iw, z.ih);
        SetImage(img);
        PaintOld();
        current = kScrolls[k];
        const bool vertical = k % 4 >= 2;
        const bool forward = k % 2 == 0;
        const bool loop = k >= 4;
        const int32_t il = vertical ? z.ih : z.iw;
        const int32_t len = vertical ? z.h : z.w;
        const int32_t s = PixelStep[speed];
        const int32_t pass = loop ? (il + s - 1) / s : 1 + (il + len + s - 1) / s;
        for (int32_t n = 1; n <= 3 * pass; ++n) {
          ASSERT_TRUE(Steps()) << "call " << n;
          ASSERT_EQ(PassEnded(), n % pass == 0) << "call " << n;
        }
        // Three copies have entered, one after the other, the last one at
        // the edge where it entered; across the motion a narrower image is
        // centred.
        const int32_t across = vertical ? z.w : z.h;
        const int32_t im = vertical ? z.iw : z.ih;
        const int32_t off = im < across ? (across - im) >> 1 : 0;
        std::string want;
        for (int32_t y = 0; y < z.h; ++y) {
          if (y > 0) want += '\n';
          for (int32_t x = 0; x < z.w; ++x) {
            const int32_t a = vertical ? y : x;
            const int32_t b = (vertical ? x : y) - off;
            const int32_t u = ((forward ? a : a - (len - il)) % il + il) % il;
            if (!loop || b < 0 || b >= im) {
              want += '.';
            } else {
              want += vertical ? img[u][b] : img[b][u];
            }
          }
        }
        EXPECT_TRUE(Shows(want));
      }
    }
  }
}

TEST_P(ScrollTest, EmptyImagesEndAtOnceAndTinyRectanglesStayInside) {
  SetRect(3, 3, 10, 6);
  PaintOld();
  const std::string before = test::ReadPicture(3, 3, 10, 6);
  for (EffectFunction f : kScrolls) {
    Restart();
    SetSolidImage(0, 4);
    EXPECT_EQ(Call(f), -1);
    Restart();
    SetSolidImage(4, 0);
    EXPECT_EQ(Call(f), -1);
  }
  EXPECT_EQ(test::ReadPicture(3, 3, 10, 6), before);

  const int32_t fbw = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbh = static_cast<int32_t>(framebuffer.fbheight);
  const std::pair<int32_t, int32_t> rects[] = {{1, 1}, {1, 5}, {5, 1}};
  for (const auto& [w, h] : rects) {
    for (uint16_t speed : {0, 8}) {
      for (EffectFunction f : kScrolls) {
        current = f;
        element = ElementNode{};
        element.header = header;
        SetSpeed(speed);
        SetRect(static_cast<uint16_t>(fbw - w), static_cast<uint16_t>(fbh - h), static_cast<uint16_t>(w),
                static_cast<uint16_t>(h));
        SetSolidImage(9, 3);
        for (int32_t n = 0; n < 30; ++n) ASSERT_TRUE(Steps());
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScrollTest, testing::Values(1, 4), test::LayoutName);

}  // namespace
}  // namespace ledview
