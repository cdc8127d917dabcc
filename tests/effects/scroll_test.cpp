#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "effects/effects.h"
#include "support/effect_bench.h"

namespace ledview {
namespace {

class ScrollTest : public test::EffectBench {
 protected:
  void SetUp() override {
    EffectBench::SetUp();
    checkEachCall = true;
  }
  void Start(EffectFunction f, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t speed,
             const std::vector<std::string>& rows) {
    current = f;
    Reset();
    node.stepDelay = 0;
    SetRect(x, y, w, h);
    SetSpeed(speed);
    SetRows(rows);
    FillInside(7);
  }
  // Calls once, expecting the effect to go on after FirstDelay ticks.
  bool Steps() { return Call(current) == FirstDelay[EffectSpeed(&node)]; }
  bool PassEnded() const { return node.step == 0 && node.extent == 0; }
  EffectFunction current = nullptr;
};

constexpr EffectFunction kScrolls[] = {ScrollThroughRight, ScrollThroughLeft, ScrollThroughDown, ScrollThroughUp,
                                       ScrollLoopRight,    ScrollLoopLeft,    ScrollLoopDown,    ScrollLoopUp};

TEST_P(ScrollTest, ScrollLoopRightWrapsWithoutAGap) {
  Start(ScrollLoopRight, 7, 1, 5, 2, 0, {"#.#", "##."});
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("#7777\n.7777"));
  ASSERT_TRUE(Steps());
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(PassEnded());
  EXPECT_TRUE(Shows("#.#77\n##.77"));
  ASSERT_TRUE(Steps());
  EXPECT_FALSE(PassEnded());
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows(".##.#\n#.##."));
}

TEST_P(ScrollTest, ScrollThroughRightCrossesAtTheTopAndLeavesBlank) {
  Start(ScrollThroughRight, 2, 2, 4, 3, 0, {"#."});
  const char* pictures[] = {
      ".777\n.777\n.777",  // set-up: one blank strip pushed in
      "..77\n..77\n..77", "#..7\n...7\n...7", ".#..\n....\n....",
      "..#.\n....\n....", "...#\n....\n....", "....\n....\n....",
  };
  for (const char* picture : pictures) {
    ASSERT_TRUE(Steps());
    EXPECT_TRUE(Shows(picture));
  }
  EXPECT_TRUE(PassEnded());
  ASSERT_TRUE(Steps());
  EXPECT_EQ(node.extent, 2u + 4u);
}

TEST_P(ScrollTest, ScrollThroughLeftCutsItsLastStepAtTheEnd) {
  Start(ScrollThroughLeft, 0, 0, 5, 1, 8, {"##"});
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("77777"));
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("#...."));
  EXPECT_EQ(node.step, 6u);
  ASSERT_TRUE(Steps());
  EXPECT_TRUE(Shows("....."));
  EXPECT_TRUE(PassEnded());
}

TEST_P(ScrollTest, AnImageShorterThanAStepStandsStillAndNeverEnds) {
  for (EffectFunction f : {ScrollLoopRight, ScrollLoopLeft}) {
    Start(f, 4, 4, 8, 3, 8, {"#..#", ".##."});
    for (int32_t i = 0; i < 10; ++i) {
      node.stepDelay = 0;  // as an effect that ended without a delay leaves it
      ASSERT_TRUE(Steps());
      EXPECT_TRUE(PassEnded());
    }
    EXPECT_TRUE(Shows("#..#7777\n.##.7777\n77777777"));
  }
}

// Every scroll over image sizes smaller and larger than the rectangle and
// three speeds: never finished, a new pass after exactly the pass's steps,
// and after each pass a loop shows the image where a slide would have
// stopped (a narrower image centred across the motion), a crossing scroll an
// empty rectangle.
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
        const std::vector<std::string> img = test::PatternRows(z.iw, z.ih);
        Start(kScrolls[k], 40, 2, z.w, z.h, speed, img);
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
  for (EffectFunction f : kScrolls) {
    Start(f, 3, 3, 10, 6, 0, {});
    SetImage(0, 4);
    EXPECT_EQ(Call(f), -1);
    Reset();
    SetImage(4, 0);
    EXPECT_EQ(Call(f), -1);
    EXPECT_TRUE(Shows(Expect([](int32_t, int32_t) { return false; }, '7')));
  }
  const int32_t fbw = static_cast<int32_t>(framebuffer.fbwidth);
  const int32_t fbh = static_cast<int32_t>(framebuffer.fbheight);
  const std::pair<int32_t, int32_t> rects[] = {{1, 1}, {1, 5}, {5, 1}};
  for (const auto& [w, h] : rects) {
    for (uint16_t speed : {0, 8}) {
      for (EffectFunction f : kScrolls) {
        Start(f, fbw - w, fbh - h, w, h, speed, std::vector<std::string>(3, "#########"));
        for (int32_t n = 0; n < 30; ++n) ASSERT_TRUE(Steps());
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ScrollTest, testing::Values(1, 4), test::ModeName);

}  // namespace
}  // namespace ledview
