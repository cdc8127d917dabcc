// Rendering: the command plays a playbill as a host would, and its pictures
// are the engine's buffer.
#include <gtest/gtest.h>
#include <gif_lib.h>

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

class RenderTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    dir = (fs::temp_directory_path() / ("ledview-render-" + std::to_string(::getpid()))).string();
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string error;
    ASSERT_TRUE(ReadFile(std::string(LEDVIEW_GOLDEN) + "/effects.bill", 1 << 20, &bill, &error)) << error;
    options.width = 64;
    options.height = 32;
    options.mode = 2;
    options.font = LEDVIEW_TEST_FONT;
    options.durationms = 1500;
    options.start = 1700000000;
    options.scale = 1;
    options.look = Look::Plain;
  }
  void TearDown() override {
    ClockUseReal();
    test::EngineTest::TearDown();
    fs::remove_all(dir);
  }

  // The host loop written out plainly: the buffer after every tick. The
  // action counter survives a release, so each play starts it at 0.
  std::map<int64_t, std::vector<uint8_t>> Drive() {
    const RenderOptions& o = options;
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
  Picture ReadPng(const std::string& path) {
    std::vector<uint8_t> png;
    Picture p;
    std::string error;
    EXPECT_TRUE(ReadFile(path, 1 << 20, &png, &error)) << error;
    EXPECT_TRUE(PngToPicture(png, 9, &p, &error)) << error;  // colours back to values
    return p;
  }

  std::vector<uint8_t> bill;
  RenderOptions options;
  std::string dir;
};

// A frame is written exactly when the buffer changes, named by its moment;
// a moment between two ticks shows the last tick's picture.
TEST_F(RenderTest, FramesAndMomentsAreTheEngineBuffer) {
  const auto direct = Drive();
  const std::string frames = dir + "/frames";
  std::string error;
  actioncounter = 0;
  ASSERT_TRUE(RenderFrames(bill, options, frames, &error)) << error;
  std::map<int64_t, std::vector<uint8_t>> written;
  for (const auto& entry : fs::directory_iterator(frames)) {
    const std::string name = entry.path().filename().string();
    ASSERT_EQ(name.size(), 12u) << name;
    written[std::stoll(name.substr(0, 6))] = ReadPng(entry.path().string()).pixels;
  }
  ASSERT_GE(written.size(), 3u);
  std::vector<uint8_t> shown;
  for (const auto& [t, leds] : direct) {
    if (leds != shown) {
      ASSERT_TRUE(written.count(t)) << "a change at " << t << " ms with no frame";
      shown = leds;
    }
    if (written.count(t)) {
      EXPECT_EQ(written[t], leds) << t << " ms";
    }
  }
  actioncounter = 0;
  ASSERT_TRUE(RenderPng(bill, options, 1234, dir + "/moment.png", &error)) << error;
  EXPECT_EQ(ReadPng(dir + "/moment.png").pixels, direct.at(1230));
  EXPECT_FALSE(RenderFrames(bill, options, frames, &error));
  EXPECT_EQ(error, frames + ": exists and is not an empty folder");
}

// GIF frames laid over each other as a viewer does end in the last picture,
// drawn as LEDs; ticks off the 10 ms grid merge into frames of at least two
// hundredths whose rounding is carried, so the delays add up to the time
// (the last frame's floor of two may add one).
TEST_F(RenderTest, GifFramesAddUpToThePictureAndTheTime) {
  options.tickms = 15;
  options.scale = 3;
  options.look = Look::Led;
  std::vector<uint8_t> last;
  std::string error;
  actioncounter = 0;
  ASSERT_TRUE(PlayBill(bill, options, [&](int64_t ms, const std::vector<uint8_t>& leds) {
    last = leds;
    EXPECT_EQ(ClockNow(), options.start + ms / 1000) << "the engine's clock runs from the start";
    return true;
  }, &error));
  actioncounter = 0;
  ASSERT_TRUE(RenderGif(bill, options, dir + "/out.gif", &error)) << error;
  int err = 0;
  GifFileType* gif = DGifOpenFileName((dir + "/out.gif").c_str(), &err);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  ASSERT_EQ(gif->SWidth * 1000 + gif->SHeight, 64 * 3 * 1000 + 32 * 3);
  std::vector<uint8_t> canvas(static_cast<size_t>(gif->SWidth) * gif->SHeight, 0xFF);
  int32_t hundredths = 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
    hundredths += gcb.DelayTime;
    EXPECT_GE(gcb.DelayTime, 2) << "frame " << i;
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x)
        canvas[static_cast<size_t>(d.Top + y) * gif->SWidth + d.Left + x] = gif->SavedImages[i].RasterBits[y * d.Width + x];
  }
  EXPECT_GT(gif->ImageCount, 2);
  EXPECT_TRUE(hundredths == 150 || hundredths == 151) << hundredths;
  EXPECT_EQ(canvas, Paint(last, 64, 32, 3, Look::Led).index);
  const Canvas led = Paint({1, 0, 4, 7}, 2, 2, 5, Look::Led);  // corners black, dim unlit LEDs
  EXPECT_EQ(std::vector<uint8_t>({led.index[0], led.index[22], led.index[27], led.index[77]}),
            std::vector<uint8_t>({0, 1, 8, 7}));
  DGifCloseFile(gif, &err);
}

TEST_F(RenderTest, FailuresSayWhyAndLeaveNoOutputBehind) {
  std::string error;
  std::vector<uint8_t> broken = bill;
  broken[13] = 0x11;  // the page's magic
  EXPECT_FALSE(RenderGif(broken, options, dir + "/out.gif", &error));
  EXPECT_EQ(error, "the engine rejects the playbill (validation code 2; `ledview check` says more)");
  EXPECT_FALSE(RenderFrames(broken, options, dir + "/frames", &error));
  RenderOptions o = options;
  o.font = "No Such Family For Render";
  EXPECT_FALSE(RenderPng(bill, o, 500, dir + "/m.png", &error));
  EXPECT_EQ(error, "font \"No Such Family For Render\" not found (fc-list shows the installed fonts)");
  o = options;
  o.width = 0;
  EXPECT_FALSE(RenderGif(bill, o, dir + "/out.gif", &error));
  EXPECT_EQ(error, "sign size 0x32 is outside 1x1..8192x512");
  EXPECT_FALSE(RenderGif(bill, options, dir + "/no/such/dir/out.gif", &error));
  EXPECT_TRUE(fs::is_empty(dir)) << "temporary files left in " << dir;
}

}  // namespace
}  // namespace ledview::tool
