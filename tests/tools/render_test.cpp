// Rendering: the command plays a playbill as a host would, and its pictures
// are the engine's buffer.
#include <gtest/gtest.h>
#include <gif_lib.h>

#include <ctime>
#include <filesystem>
#include <map>

#include "ledview.h"
#include "ledview/billwriter.h"
#include "ledview/files.h"
#include "ledview/picture.h"
#include "ledview/render.h"
#include "platform/platform.h"
#include "playbill/scheduler.h"
#include "support/engine_fixture.h"

namespace ledview::tool {
namespace {

namespace fs = std::filesystem;

TEST(FrameClock, ShortFramesMergeAndRoundingIsCarried) {
  FrameClock c;
  EXPECT_EQ(FrameClockNext(&c, 10), 0);   // the first picture begins the GIF
  EXPECT_EQ(FrameClockNext(&c, 20), 2);   // 20 ms: written, 2 hundredths
  EXPECT_EQ(FrameClockNext(&c, 30), 0);   // 10 ms later: replaces the pending one
  EXPECT_EQ(FrameClockNext(&c, 44), 2);   // 24 ms after 20 rounds to 2
  EXPECT_EQ(c.startms, 40);               // so the next frame begins at 40
  EXPECT_EQ(FrameClockNext(&c, 76), 4);   // 36 ms from 40
  EXPECT_EQ(FrameClockEnd(&c, 200), 12);
  EXPECT_EQ(FrameClockEnd(&c, 81), 2);    // never shorter than 20 ms

  // Changes every 15 ms for ten seconds: the GIF still lasts ten seconds.
  FrameClock d;
  int64_t total = 0;
  for (int64_t t = 15; t <= 10000; t += 15) total += FrameClockNext(&d, t);
  total += FrameClockEnd(&d, 10000);
  EXPECT_EQ(total, 1000);
}

// A 64x16 page with an animated page border and a bordered component.
std::vector<uint8_t> BorderBill() {
  bill::Bill b;
  bill::Page& page = b.AddPage(0, 2);
  bill::Area& area = page.AddArea(2, 2, 60, 12);
  bill::StringText t;
  t.text = "ab";
  area.AddComponent(0, 0, 30, 12, 5).AddElement(2, bill::StringTextBytes(t));
  return b.Bytes();
}

class RenderTest : public test::EngineTest {
 protected:
  void TearDown() override {
    ClockUseReal();
    test::EngineTest::TearDown();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void MakeDir() {
    dir = (fs::temp_directory_path() / ("ledview-render-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name()))
              .string();
    fs::remove_all(dir);
    fs::create_directories(dir);
  }

  RenderOptions Options() const {
    RenderOptions o;
    o.width = 64;
    o.height = 16;
    o.mode = 2;
    o.font = LEDVIEW_TEST_FONT;
    o.durationms = 3000;
    o.start = 1700000000;
    o.scale = 1;
    o.look = Look::Plain;
    return o;
  }

  // The host loop written out plainly: the buffer after every tick. The
  // action counter survives a release, so each play starts it at 0 to begin
  // in the same phase.
  std::map<int64_t, std::vector<uint8_t>> Drive(const std::vector<uint8_t>& bill, const RenderOptions& o) {
    std::map<int64_t, std::vector<uint8_t>> seen;
    std::vector<uint8_t> leds(static_cast<size_t>(o.width) * o.height, 0);
    actioncounter = 0;
    EXPECT_EQ(InitLedConfigure(o.width, o.height, o.mode), 0);
    EXPECT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
    EXPECT_EQ(SetBmpBuffer(o.width, o.height, o.width, leds.data()), 0);
    ClockSimulate(o.start);
    EXPECT_EQ(SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())), 0);
    for (int64_t t = o.tickms; t <= o.durationms; t += o.tickms) {
      if (t % 1000 < o.tickms) {
        ClockAdvance(1);
        NotifySecond();
      }
      NotifyActtion();
      RefreshBuffer();
      seen[t] = leds;
    }
    ReleasePreview();
    ClockUseReal();
    return seen;
  }

  std::string dir;
};

TEST_F(RenderTest, FramesAreTheEngineBufferWhenItChanges) {
  const std::vector<uint8_t> bill = BorderBill();
  const RenderOptions o = Options();
  const auto direct = Drive(bill, o);
  std::vector<std::pair<int64_t, std::vector<uint8_t>>> frames;
  std::string error;
  actioncounter = 0;
  ASSERT_TRUE(PlayBill(bill, o, [&](int64_t ms, const std::vector<uint8_t>& leds) {
    frames.emplace_back(ms, leds);
    // The engine's clock runs from the start with the simulated seconds.
    EXPECT_EQ(ClockNow(), o.start + ms / 1000) << ms;
    return true;
  }, &error)) << error;
  ASSERT_GE(frames.size(), 3u) << "the borders should move";
  EXPECT_EQ(frames.front().first, 10);
  size_t next = 0;
  std::vector<uint8_t> shown;
  for (const auto& [t, leds] : direct) {
    if (next < frames.size() && frames[next].first == t) {
      EXPECT_EQ(frames[next].second, leds) << "at " << t << " ms";
      EXPECT_NE(frames[next].second, shown) << "a frame without a change at " << t << " ms";
      shown = frames[next].second;
      ++next;
    } else {
      EXPECT_EQ(leds, shown) << "a change at " << t << " ms with no frame";
    }
  }
  EXPECT_EQ(next, frames.size());
  // The simulated clock is gone again.
  EXPECT_LE(std::abs(ClockNow() - static_cast<int64_t>(std::time(nullptr))), 2);
}

TEST_F(RenderTest, PngFramesAndMomentsOfAnExampleDecodeToTheEngineBuffer) {
  MakeDir();
  std::vector<uint8_t> bill;
  std::string error;
  ASSERT_TRUE(ReadFile(std::string(LEDVIEW_GOLDEN) + "/effects.bill", 1 << 20, &bill, &error));
  RenderOptions o = Options();
  o.height = 32;
  o.durationms = 1500;
  const auto direct = Drive(bill, o);
  const std::string frames = dir + "/frames";
  actioncounter = 0;
  ASSERT_TRUE(RenderFrames(bill, o, frames, &error)) << error;
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(frames)) {
    const std::string name = entry.path().filename().string();
    ASSERT_EQ(name.size(), 12u) << name;
    const int64_t ms = std::stoll(name.substr(0, 6));
    std::vector<uint8_t> png;
    ASSERT_TRUE(ReadFile(entry.path().string(), 1 << 20, &png, &error));
    Picture p;
    ASSERT_TRUE(PngToPicture(png, 9, &p, &error)) << error;  // colours back to values
    ASSERT_EQ(p.width, 64);
    EXPECT_EQ(p.pixels, direct.at(ms)) << name;
    ++count;
  }
  EXPECT_GE(count, 3u);

  // A moment between two ticks shows the last tick's picture.
  actioncounter = 0;
  ASSERT_TRUE(RenderPng(bill, o, 1234, dir + "/moment.png", &error)) << error;
  std::vector<uint8_t> png;
  ASSERT_TRUE(ReadFile(dir + "/moment.png", 1 << 20, &png, &error));
  Picture p;
  ASSERT_TRUE(PngToPicture(png, 9, &p, &error));
  EXPECT_EQ(p.pixels, direct.at(1230));

  // A folder that holds something already is left alone.
  EXPECT_FALSE(RenderFrames(bill, o, frames, &error));
  EXPECT_EQ(error, frames + ": exists and is not an empty folder");
}

TEST_F(RenderTest, GifFramesAddUpToThePictureAndTheTime) {
  MakeDir();
  const std::vector<uint8_t> bill = BorderBill();
  RenderOptions o = Options();
  o.scale = 3;
  o.look = Look::Led;
  o.durationms = 2000;
  std::vector<uint8_t> last;
  std::string error;
  actioncounter = 0;
  ASSERT_TRUE(PlayBill(bill, o, [&](int64_t, const std::vector<uint8_t>& leds) {
    last = leds;
    return true;
  }, &error));
  actioncounter = 0;
  ASSERT_TRUE(RenderGif(bill, o, dir + "/out.gif", &error)) << error;

  int err = 0;
  GifFileType* gif = DGifOpenFileName((dir + "/out.gif").c_str(), &err);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(gif->SWidth, 64 * 3);
  EXPECT_EQ(gif->SHeight, 16 * 3);
  ASSERT_GT(gif->ImageCount, 2);
  // Lay every frame over the one before, as a viewer does.
  std::vector<uint8_t> canvas(static_cast<size_t>(gif->SWidth) * gif->SHeight, 0xFF);
  int32_t hundredths = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& img = gif->SavedImages[i];
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
    EXPECT_GE(gcb.DelayTime, 2);
    hundredths += gcb.DelayTime;
    const GifImageDesc& d = img.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
      for (int x = 0; x < d.Width; ++x) {
        canvas[static_cast<size_t>(d.Top + y) * gif->SWidth + d.Left + x] = img.RasterBits[y * d.Width + x];
      }
    }
  }
  EXPECT_EQ(hundredths, 200);
  EXPECT_EQ(canvas, Paint(last, 64, 16, 3, Look::Led).index);
  DGifCloseFile(gif, &err);
}

TEST_F(RenderTest, FailuresLeaveNoOutputBehind) {
  MakeDir();
  std::string error;
  std::vector<uint8_t> bill = BorderBill();
  bill[13] = 0x11;  // the page's magic
  EXPECT_FALSE(RenderGif(bill, Options(), dir + "/out.gif", &error));
  EXPECT_EQ(error, "the engine rejects the playbill (validation code 2; `ledview check` says more)");
  EXPECT_FALSE(RenderFrames(bill, Options(), dir + "/frames", &error));
  RenderOptions o = Options();
  o.font = "No Such Family For Render";
  EXPECT_FALSE(RenderPng(BorderBill(), o, 500, dir + "/m.png", &error));
  EXPECT_EQ(error, "font \"No Such Family For Render\" not found (fc-list shows the installed fonts)");
  o = Options();
  o.width = 0;
  EXPECT_FALSE(RenderGif(BorderBill(), o, dir + "/out.gif", &error));
  EXPECT_EQ(error, "sign size 0x16 is outside 1x1..8192x512");
  EXPECT_FALSE(RenderGif(BorderBill(), Options(), dir + "/no/such/dir/out.gif", &error));
  EXPECT_TRUE(fs::is_empty(dir)) << "temporary files left in " << dir;
}

TEST(Paint, LedLookDrawsRoundDotsAndUnlitLeds) {
  const std::vector<uint8_t> leds = {1, 0, 4, 7};
  const Canvas plain = Paint(leds, 2, 2, 2, Look::Plain);
  EXPECT_EQ(plain.index, (std::vector<uint8_t>{1, 1, 0, 0, 1, 1, 0, 0, 4, 4, 7, 7, 4, 4, 7, 7}));
  const Canvas led = Paint(leds, 2, 2, 5, Look::Led);
  EXPECT_EQ(led.index[0], 0);                // cell corners stay black
  EXPECT_EQ(led.index[2 * 10 + 2], 1);       // the middle of the first cell is lit red
  EXPECT_EQ(led.index[2 * 10 + 7], 8);       // an unlit LED shows as a dim dot
  EXPECT_EQ(led.index[7 * 10 + 7], 7);
  EXPECT_EQ(PaletteRgb(8), 0x2A2A2Au);
  EXPECT_EQ(PaletteRgb(1) >> 16, 0xFFu);     // bit 0 is red
  EXPECT_EQ(PaletteRgb(2) & 0xFF00, 0xFF00u);  // bit 1 green
  EXPECT_EQ(PaletteRgb(4) & 0xFF, 0xFFu);      // bit 2 blue
}

}  // namespace
}  // namespace ledview::tool
