// Rendering: the command plays a playbill as a host would, and its pictures
// are the engine's buffer.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "ledview.h"
#include "ledview/args.h"
#include "ledview/describe.h"
#include "ledview/files.h"
#include "ledview/jsontext.h"
#include "ledview/picture.h"
#include "ledview/render.h"
#include "ledview/signals.h"
#include "platform/platform.h"
#include "playbill/scheduler.h"
#include "support/billbuilder.h"

namespace ledview::tool {
namespace {

// GIF frames last whole hundredths, at least two: a picture sooner than that
// after the pending frame's start takes its place, and the rounding carries
// into the next frame's start so the delays keep to the time. The last
// moment of each row ends the GIF.
TEST(Render, GifFrameTiming) {
  const struct { std::vector<int64_t> ms; std::vector<int32_t> delays; } cases[] = {
      {{0, 15, 30, 45, 60, 75}, {0, 2, 0, 3, 0, 3}},
      {{0, 100, 105}, {0, 10, 2}},
      {{0, 1000000, 1000020}, {0, 65535, 2}},
  };
  for (const auto& c : cases) {
    FrameClock clock;
    std::vector<int32_t> delays;
    for (size_t i = 0; i + 1 < c.ms.size(); ++i) delays.push_back(FrameClockNext(&clock, c.ms[i]));
    delays.push_back(FrameClockEnd(&clock, c.ms.back()));
    EXPECT_EQ(delays, c.delays) << c.ms[1];
  }
}

// Pictures as a reader sees them: 0xRRGGBB a pixel.
struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int32_t x, int32_t y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

Image ReadPng(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  Image image;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    ADD_FAILURE() << path << ": " << png.message;
    return image;
  }
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr)) {
    ADD_FAILURE() << path << ": " << png.message;
    return image;
  }
  image.width = static_cast<int32_t>(png.width);
  image.height = static_cast<int32_t>(png.height);
  for (size_t i = 0; i < bytes.size(); i += 3) image.rgb.push_back(uint32_t{bytes[i]} << 16 | bytes[i + 1] << 8 | bytes[i + 2]);
  return image;
}

// A GIF's frames as a viewer shows them, each drawn over the one before,
// with how long each stays in hundredths.
struct GifFrame {
  Image image;
  int32_t delaycs = 0;
};

std::vector<GifFrame> ReadGif(const std::string& path) {
  int err = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &err);
  if (gif == nullptr) {
    ADD_FAILURE() << path << ": " << GifErrorString(err);
    return {};
  }
  std::vector<GifFrame> frames;
  if (DGifSlurp(gif) != GIF_OK) {
    ADD_FAILURE() << path << ": " << GifErrorString(gif->Error);
    DGifCloseFile(gif, &err);
    return {};
  }
  Image shown{gif->SWidth, gif->SHeight, std::vector<uint32_t>(static_cast<size_t>(gif->SWidth) * gif->SHeight, 0xFFFFFFFF)};
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& saved = gif->SavedImages[i];
    const GifImageDesc& d = saved.ImageDesc;
    const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
    GraphicsControlBlock gcb{};
    EXPECT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK) << "frame " << i;
    EXPECT_EQ(gcb.DisposalMode, DISPOSE_DO_NOT) << "frame " << i;
    EXPECT_FALSE(d.Interlace) << "frame " << i;
    EXPECT_LE(d.Left + d.Width, shown.width) << "frame " << i;
    EXPECT_LE(d.Top + d.Height, shown.height) << "frame " << i;
    for (int y = 0; y < d.Height; ++y) {
      for (int x = 0; x < d.Width; ++x) {
        const GifColorType c = map->Colors[saved.RasterBits[y * d.Width + x]];
        shown.rgb[static_cast<size_t>(d.Top + y) * shown.width + d.Left + x] = uint32_t{c.Red} << 16 | c.Green << 8 | c.Blue;
      }
    }
    frames.push_back({shown, gcb.DelayTime});
  }
  DGifCloseFile(gif, &err);
  return frames;
}

// A picture of a sign in the LED look, `scale` pixels a cell, shows `leds`:
// each cell's centre is the LED's colour (a mode-1 sign has red LEDs only;
// dark grey when unlit), and its corner is black around the dot.
testing::AssertionResult ShowsLeds(const Image& image, const std::vector<uint8_t>& leds, int32_t width, int32_t height,
                                   int32_t mode, int32_t scale) {
  if (image.width != width * scale || image.height != height * scale) {
    return testing::AssertionFailure() << "a picture of " << image.width << "x" << image.height;
  }
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t v = leds[static_cast<size_t>(y) * width + x];
      const uint32_t want = v == 0 ? 0x2A2A2A : LedRgb(mode == 1 ? 1 : v);
      const uint32_t centre = image.At(x * scale + scale / 2, y * scale + scale / 2);
      const uint32_t corner = image.At(x * scale, y * scale);
      if (centre != want || corner != 0) {
        return testing::AssertionFailure() << std::hex << "LED (" << std::dec << x << ", " << y << ") of value "
                                           << int{v} << std::hex << ": centre " << centre << ", corner " << corner
                                           << ", expected centre " << want;
      }
    }
  }
  return testing::AssertionSuccess();
}

// The host loop written out plainly: the engine's buffer after every tick.
// The action counter survives a release, so each play starts it at 0.
std::map<int64_t, std::vector<uint8_t>> PlayDirectly(const std::vector<uint8_t>& bill, const RenderOptions& o) {
  std::map<int64_t, std::vector<uint8_t>> direct;
  std::vector<uint8_t> leds(static_cast<size_t>(o.width) * o.height, 0);
  actioncounter = 0;
  EXPECT_EQ(InitLedConfigure(o.width, o.height, o.mode), 0);
  EXPECT_EQ(SetFontPathname(o.font.c_str()), 0);
  EXPECT_EQ(SetBmpBuffer(o.width, o.height, o.width, leds.data()), 0);
  ClockSimulate(o.start);
  EXPECT_EQ(SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())), 0);
  for (int64_t t = o.tickms; t <= o.durationms; t += o.tickms) {
    if (t % 1000 < o.tickms) ClockAdvance(1), NotifySecond();
    NotifyActtion();
    RefreshBuffer();
    direct[t] = leds;
  }
  ReleasePreview();
  ClockUseReal();
  return direct;
}

// The GIF, the PNG of a moment and the PNG frames, decoded, show the
// engine's buffer LED by LED, in one colour and in several. A GIF frame
// stays from its moment until the next, and the frames add up to the
// render's length. A frame PNG is written after the first tick and whenever
// the buffer changes, named by its moment; a moment between two ticks shows
// the last tick's picture.
TEST(Render, PicturesShowTheEngineBuffer) {
  test::Bill b;
  test::Area& area = b.AddPage().AddArea(0, 0, 16, 4);
  test::Element& e = area.AddComponent(0, 0, 8, 4).AddElement(
      1, test::PicturePayload({"#..#.##.", ".##..#.#", "#.#.#..#", "##....##"}, 5));
  e.entryeffect = 9, e.speed = 1, e.staytime = 1, e.exiteffect = 2;  // SlideLeft, EraseLeft
  test::Element& f = area.AddComponent(8, 0, 8, 4).AddElement(
      1, test::PicturePayload({"########", "#......#", "#.####.#", "########"}, 2));
  f.entryeffect = 5, f.staytime = 1, f.exiteffect = 1;  // WipeDown, EraseRight
  const std::vector<uint8_t> bill = b.Bytes();
  const std::string dir = (std::filesystem::temp_directory_path() / ("ledview-render-" + std::to_string(getpid()))).string();
  for (const int32_t mode : {1, 4}) {
    SCOPED_TRACE(testing::Message() << "colour mode " << mode);
    const RenderOptions o{.width = 16, .height = 4, .mode = mode, .font = LEDVIEW_TEST_FONT, .durationms = 2500,
                          .tickms = 50, .start = 1700000000, .scale = 5, .look = Look::Led, .strings = {}};
    const std::map<int64_t, std::vector<uint8_t>> direct = PlayDirectly(bill, o);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    std::string error;

    actioncounter = 0;
    ASSERT_TRUE(RenderGif(bill, o, dir + "/show.gif", &error)) << error;
    const std::vector<GifFrame> frames = ReadGif(dir + "/show.gif");
    ASSERT_GE(frames.size(), 6u) << "the scene barely moves";
    std::vector<int64_t> starts = {0};
    for (const GifFrame& frame : frames) starts.push_back(starts.back() + frame.delaycs * 10);
    EXPECT_EQ(starts.back(), o.durationms);
    size_t k = 0;
    for (const auto& [t, leds] : direct) {
      while (k + 1 < frames.size() && starts[k + 1] <= t) ++k;
      EXPECT_TRUE(ShowsLeds(frames[k].image, leds, o.width, o.height, mode, o.scale)) << "GIF frame " << k << " at " << t << " ms";
    }
    EXPECT_EQ(k + 1, frames.size());

    actioncounter = 0;
    ASSERT_TRUE(RenderFrames(bill, o, dir + "/frames", &error)) << error;
    std::vector<uint8_t> shown;
    for (const auto& [t, now] : direct) {
      char name[32];
      std::snprintf(name, sizeof name, "/frames/%06lldms.png", static_cast<long long>(t));
      ASSERT_EQ(std::filesystem::exists(dir + name), now != shown) << name;
      if (now != shown) {
        EXPECT_TRUE(ShowsLeds(ReadPng(dir + name), now, o.width, o.height, mode, o.scale)) << name;
      }
      shown = now;
    }
    EXPECT_GE(std::distance(std::filesystem::directory_iterator(dir + "/frames"), {}), 6) << "the scene barely moves";

    actioncounter = 0;
    ASSERT_TRUE(RenderPng(bill, o, 1234, dir + "/moment.png", &error)) << error;
    EXPECT_TRUE(ShowsLeds(ReadPng(dir + "/moment.png"), direct.at(1200), o.width, o.height, mode, o.scale));
    // A moment on a tick that changed the picture shows that tick's picture.
    auto change = direct.upper_bound(1000);
    while (change != direct.end() && change->second == std::prev(change)->second) ++change;
    ASSERT_NE(change, direct.end());
    actioncounter = 0;
    ASSERT_TRUE(RenderPng(bill, o, change->first, dir + "/moment.png", &error)) << error;
    EXPECT_TRUE(ShowsLeds(ReadPng(dir + "/moment.png"), change->second, o.width, o.height, mode, o.scale)) << change->first;
    EXPECT_FALSE(RenderFrames(bill, o, dir + "/frames", &error));
    EXPECT_EQ(error, dir + "/frames: exists and is not an empty folder; name a new folder, or remove this one first");
  }
  std::filesystem::remove_all(dir);
}

// Pictures show each LED as the sign of that mode shows it: a mode-2 sign
// has no blue LEDs, a mode-1 sign lights every colour in its one colour;
// the engine's values stay as they are.
// A string above 16 px in a show that names no font is drawn with an
// installed font that has its characters: the LEDs equal those drawn with
// the CJK font named, and some are lit. DejaVu Sans, the default for Latin
// text, lacks hanzi.
TEST(Render, HanziAboveSixteenPixelsFindAFontWithThem) {
  Json d;
  std::string error;
  ASSERT_TRUE(ParseJson(R"({"sign": {"width": 64, "height": 32}, "pages": [{"areas": [{"components":
      [{"elements": [{"type": "string", "text": "\u4E2D\u6587", "size": 24}]}]}]}]})", &d, &error)) << error;
  bill::Bill b;
  SignSize sign;
  ASSERT_TRUE(BuildBill(d, BuildContext(), &b, &sign, &error)) << error;
  const std::vector<uint8_t> bill = b.Bytes();
  auto leds = [&bill](const std::string& font) {
    std::vector<uint8_t> last;
    std::string why;
    RenderOptions o;
    o.width = 64;
    o.height = 32;
    o.font = font;
    o.durationms = 1000;
    o.tickms = 50;
    EXPECT_TRUE(PlayBill(bill, o, [&last](int64_t, const std::vector<uint8_t>& l) { last = l; return true; }, &why))
        << why;
    return last;
  };
  std::string chosen;
  ASSERT_TRUE(ChooseFont("", sign, bill, &chosen, &error)) << error;
  const std::vector<uint8_t> drawn = leds(chosen);
  EXPECT_EQ(drawn, leds(LEDVIEW_TEST_CJK_FONT));
  EXPECT_GT(std::count_if(drawn.begin(), drawn.end(), [](uint8_t v) { return v != 0; }), 40);
  EXPECT_NE(drawn, leds(LEDVIEW_TEST_FONT));
  // The sign's font is taken, and the option's over it.
  sign.font = LEDVIEW_TEST_FONT;
  ASSERT_TRUE(ChooseFont("", sign, bill, &chosen, &error)) << error;
  EXPECT_EQ(chosen, LEDVIEW_TEST_FONT);
  ASSERT_TRUE(ChooseFont(LEDVIEW_TEST_CJK_FONT, sign, bill, &chosen, &error)) << error;
  EXPECT_EQ(chosen, LEDVIEW_TEST_CJK_FONT);
}

TEST(Render, TheLedLookShowsTheSignsLeds) {
  const std::vector<uint8_t> leds = {0, 1, 2, 3, 4, 5, 6, 7};
  const struct { int32_t mode; std::vector<uint8_t> plain; std::vector<uint8_t> led; } cases[] = {
      {1, {0, 1, 1, 1, 1, 1, 1, 1}, {8, 1, 1, 1, 1, 1, 1, 1}},
      {2, {0, 1, 2, 3, 0, 1, 2, 3}, {8, 1, 2, 3, 8, 1, 2, 3}},
      {4, {0, 1, 2, 3, 4, 5, 6, 7}, {8, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SignLeds(leds, c.mode), c.plain) << c.mode;
    EXPECT_EQ(Paint(leds, 8, 1, c.mode, 1, Look::Plain).index, c.plain) << c.mode;
    EXPECT_EQ(Paint(leds, 8, 1, c.mode, 1, Look::Led).index, c.led) << c.mode;
  }
  EXPECT_EQ(leds, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

// A live string given for a moment reaches the engine with the tick at that
// moment: the picture changes there, not a tick later.
TEST(Render, AStringUpdateTakesEffectAtItsMoment) {
  test::Bill b;
  b.AddPage().AddArea(0, 0, 32, 16).AddComponent(0, 0, 32, 16).AddElement(2, test::StringPayload(7, "AB")).entryeffect = 26;
  const RenderOptions o{.width = 32, .height = 16, .font = LEDVIEW_TEST_FONT, .durationms = 1000, .tickms = 50,
                        .start = 1700000000, .scale = 1, .look = Look::Plain, .strings = {{7, "NEW", 700}}};
  std::vector<int64_t> moments;
  std::string error;
  ASSERT_TRUE(PlayBill(b.Bytes(), o, [&](int64_t t, const std::vector<uint8_t>&) {
    moments.push_back(t);
    return true;
  }, &error)) << error;
  ASSERT_GE(moments.size(), 2u);
  EXPECT_EQ(moments.back(), 700);
  EXPECT_LT(moments[moments.size() - 2], 700);
}

// Frame names keep time order when sorted as text, past 1,000 seconds too.
TEST(Render, FrameNamesSortInTimeOrder) {
  test::Bill b;
  b.AddPage().AddArea(0, 0, 16, 4).AddComponent(0, 0, 16, 4).AddElement(
      1, test::PicturePayload({"#..#.##.", ".##..#.#"})).entryeffect = 50;  // scrolls for ever
  const RenderOptions o{.width = 16, .height = 4, .font = LEDVIEW_TEST_FONT, .durationms = 1100000,
                        .tickms = 10000, .start = 1700000000, .scale = 1, .look = Look::Plain, .strings = {}};
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ledview-names-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::string error;
  ASSERT_TRUE(RenderFrames(b.Bytes(), o, dir.string(), &error)) << error;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  ASSERT_GE(names.size(), 20u);
  std::vector<int64_t> times;
  for (const std::string& n : names) times.push_back(std::stoll(n));
  EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
  EXPECT_EQ(names.front(), "0010000ms.png");
  EXPECT_GT(times.back(), 1000000) << names.back();
  std::filesystem::remove_all(dir);
}

// The engine keeps its action count across releases; a render starts every
// show from 0, so that one show plays alike whatever played before it in
// the process.
TEST(Render, EveryPlayStartsTheActionCountFromZero) {
  test::Bill b;
  test::Element& e = b.AddPage().AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(
      1, test::PicturePayload({"#..#.##.", ".##..#.#", "#.#.#..#", "##....##"}));
  e.entryeffect = 9, e.speed = 1, e.staytime = 1, e.exiteffect = 2;
  const RenderOptions o{.width = 8, .height = 4, .font = LEDVIEW_TEST_FONT, .durationms = 3000, .tickms = 10,
                        .start = 1700000000, .scale = 1, .look = Look::Plain, .strings = {}};
  const auto play = [&](int32_t leftover) {
    actioncounter = leftover;
    std::map<int64_t, std::vector<uint8_t>> frames;
    std::string error;
    EXPECT_TRUE(PlayBill(b.Bytes(), o, [&](int64_t t, const std::vector<uint8_t>& leds) {
      frames[t] = leds;
      return true;
    }, &error)) << error;
    return frames;
  };
  const auto clean = play(0);
  EXPECT_GE(clean.size(), 4u);
  for (const int32_t leftover : {1, 2, 3}) EXPECT_EQ(play(leftover), clean) << "after " << leftover << " ticks left over";
}

// SIGTERM, SIGINT or SIGHUP (a closed terminal) during a render stops it at its next tick with one
// reason, and leaves no temporary file or folder beside the target; a folder
// named with a trailing slash is the same folder.
TEST(Render, StopSignalsLeaveNoTemporaryFiles) {
  test::Bill b;
  b.AddPage().AddArea(0, 0, 64, 16).AddComponent(0, 0, 64, 16).AddElement(
      1, test::PicturePayload({"#..#.##.", ".##..#.#"})).entryeffect = 50;  // scrolls for ever
  const std::vector<uint8_t> bill = b.Bytes();
  const RenderOptions o{.width = 64, .height = 16, .font = LEDVIEW_TEST_FONT, .durationms = 3600000,
                        .tickms = 10, .start = 1700000000, .scale = 1, .look = Look::Plain, .strings = {}};
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ledview-stop-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directory(dir);
  CatchStopSignals();
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    for (const bool frames : {false, true}) {
      stopsignal = 0;
      std::thread sender([signal] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(getpid(), signal);
      });
      std::string error;
      const bool done = frames ? RenderFrames(bill, o, (dir / "frames").string() + "/", &error)
                               : RenderGif(bill, o, (dir / "show.gif").string(), &error);
      sender.join();
      EXPECT_FALSE(done);
      EXPECT_EQ(error, "interrupted");
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 0) << "left behind";
    }
  }
  stopsignal = 0;
  std::string error;
  const RenderOptions brief{.width = 8, .height = 4, .font = LEDVIEW_TEST_FONT, .durationms = 100, .tickms = 50,
                            .start = 1700000000, .scale = 1, .look = Look::Plain, .strings = {}};
  EXPECT_TRUE(RenderFrames(bill, brief, (dir / "frames").string() + "/", &error)) << error;
  EXPECT_TRUE(std::filesystem::is_directory(dir / "frames"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  EXPECT_FALSE(RenderGif(bill, brief, "/proc/nope.gif", &error));
  EXPECT_EQ(error.rfind("/proc/nope.gif: cannot write the GIF (", 0), 0u) << error;
  EXPECT_EQ(error.find("write error"), std::string::npos) << error;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ledview::tool
