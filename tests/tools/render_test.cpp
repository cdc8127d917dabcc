// Rendering: the command plays a playbill as a host would, and its pictures
// are the engine's buffer.
#include <gtest/gtest.h>
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

// A frame is written after the first tick and whenever the engine's buffer
// changes, named by its moment, and holds that buffer; a moment between two
// ticks shows the last tick's picture.
TEST(Render, FramesAreTheEngineBuffer) {
  test::Bill b;
  test::Element& e = b.AddPage().AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(
      1, test::PicturePayload({"#..#.##.", ".##..#.#", "#.#.#..#", "##....##"}));
  e.entryeffect = 9, e.speed = 1, e.staytime = 1, e.exiteffect = 2;
  const std::vector<uint8_t> bill = b.Bytes();
  const RenderOptions o{.width = 8, .height = 4, .font = LEDVIEW_TEST_FONT, .durationms = 2500, .tickms = 50,
                        .start = 1700000000, .scale = 1, .look = Look::Plain, .strings = {}};
  // The host loop written out plainly: the buffer after every tick. The
  // action counter survives a release, so each play starts it at 0.
  std::map<int64_t, std::vector<uint8_t>> direct;
  std::vector<uint8_t> leds(32, 0);
  actioncounter = 0;
  ASSERT_EQ(InitLedConfigure(8, 4, 1) | SetFontPathname(LEDVIEW_TEST_FONT) | SetBmpBuffer(8, 4, 8, leds.data()), 0);
  ClockSimulate(o.start);
  ASSERT_EQ(SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())), 0);
  for (int64_t t = o.tickms; t <= o.durationms; t += o.tickms) {
    if (t % 1000 < o.tickms) ClockAdvance(1), NotifySecond();
    NotifyActtion();
    RefreshBuffer();
    direct[t] = leds;
  }
  ReleasePreview();
  ClockUseReal();

  const std::string dir = (std::filesystem::temp_directory_path() / ("ledview-render-" + std::to_string(getpid()))).string();
  std::filesystem::remove_all(dir);
  std::string error;
  actioncounter = 0;
  ASSERT_TRUE(RenderFrames(bill, o, dir, &error)) << error;
  const auto shows = [&](const std::string& path) {
    std::vector<uint8_t> png;
    Picture p;
    EXPECT_TRUE(ReadFile(path, 1 << 20, &png, &error) && PngToPicture(png, 9, &p, &error)) << path << ": " << error;
    return p.pixels;
  };
  std::vector<uint8_t> shown;
  for (const auto& [t, now] : direct) {
    char name[32];
    std::snprintf(name, sizeof name, "/%06lldms.png", static_cast<long long>(t));
    ASSERT_EQ(std::filesystem::exists(dir + name), now != shown) << name;
    EXPECT_TRUE(now == shown || shows(dir + name) == now) << name;
    shown = now;
  }
  EXPECT_GE(std::distance(std::filesystem::directory_iterator(dir), {}), 4) << "the scene barely moves";
  actioncounter = 0;
  ASSERT_TRUE(RenderPng(bill, o, 1234, dir + "/moment.png", &error)) << error;
  EXPECT_EQ(shows(dir + "/moment.png"), direct.at(1200));
  EXPECT_FALSE(RenderFrames(bill, o, dir, &error));
  EXPECT_EQ(error, dir + ": exists and is not an empty folder; name a new folder, or remove this one first");
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
