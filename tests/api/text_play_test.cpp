// The first playbills with text, end to end: a host configures the engine,
// loads a font, registers its buffer, hands over a playbill of strings and
// pictures and then drives it tick by tick, second by second, replacing live
// strings as it goes. Everything is checked in the host's buffer.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ledview.h"
#include "platform/platform.h"
#include "playbill/random.h"
#include "support/text_play.h"

namespace ledview {
namespace {

using test::Above;
using test::Beside;
using test::Bill;
using test::Columns;
using test::Dark;
using test::Glyphs;
using test::Joined;
using test::Pattern;
using test::PicturePayload;
using test::Rows;
using test::Solid;
using test::StringPayload;
using test::TextPlayTest;

constexpr int kFirstPass = 9;

class TextPlayModes : public TextPlayTest, public testing::WithParamInterface<int32_t> {};

TEST_P(TextPlayModes, StringEntersStaysLeavesAndHandsOverToThePicture) {
  const int32_t m = GetParam();
  Start(24, 16, m);
  const auto text = Glyphs("AB");
  const auto picture = Pattern(16, 16);
  Bill bill;
  test::Component& c = bill.AddPage().AddArea(0, 0, 24, 16).AddComponent(4, 0, 16, 16);
  test::Element& s = c.AddElement(2, StringPayload(0, "AB", 16, 2));
  s.entryeffect = 8;  // SlideRight, 2 pixels a tick
  s.speed = 4;
  s.staytime = 1;
  s.exiteffect = 3;  // EraseLeft
  test::Element& p = c.AddElement(1, PicturePayload(picture, 1));
  p.entryeffect = 10;  // SlideDown, 6 rows a tick
  p.speed = 8;
  ASSERT_EQ(Play(bill), 0);

  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(4, 0, Beside(Columns(text, 14, 2), Dark(14, 16)), 2));
  Tick(3);
  EXPECT_TRUE(HostShows(4, 0, Beside(Columns(text, 8, 8), Dark(8, 16)), 2));
  Tick(4);
  EXPECT_TRUE(HostShows(4, 0, text, 2));
  Tick(30);
  EXPECT_TRUE(HostShows(4, 0, text, 2));
  Second();  // the exit takes two columns a tick from the right
  EXPECT_TRUE(HostShows(4, 0, Beside(Columns(text, 0, 14), Dark(2, 16)), 2));
  Tick(7);
  EXPECT_TRUE(HostDark(0, 0, 24, 16));
  Tick(2);  // the finishing call, then a tick's wait: the picture comes down
  EXPECT_TRUE(HostShows(4, 0, Above(Rows(picture, 10, 6), Dark(16, 10))));
  EXPECT_TRUE(HostDark(0, 0, 4, 16));
  EXPECT_TRUE(HostDark(20, 0, 4, 16));
}

INSTANTIATE_TEST_SUITE_P(ColourModes, TextPlayModes, testing::Values(1, 2, 4),
                         [](const testing::TestParamInfo<int32_t>& info) {
                           return "mode" + std::to_string(info.param);
                         });

TEST_F(TextPlayTest, UpdateStringReplacesTheTextOnTheNextRefresh) {
  Start(24, 16, 2);
  Bill bill;
  test::Element& e =
      bill.AddPage().AddArea(0, 0, 24, 16).AddComponent(0, 0, 24, 16).AddElement(2, StringPayload(7, "AB"));
  e.entryeffect = 8;  // SlideRight, 6 pixels a tick
  e.speed = 8;
  e.staytime = 30;
  EXPECT_EQ(UpdateString(7, "NEW", 3), -1);  // nothing plays yet
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Beside(Glyphs("AB"), Dark(8, 16))));

  // Refused updates change nothing and ask for no redraw.
  const std::vector<uint8_t> before = output;
  EXPECT_EQ(UpdateString(-1, "NEW", 3), -1);
  EXPECT_EQ(UpdateString(7, "NEW", 0), -1);
  EXPECT_EQ(UpdateString(7, "NEW", -3), -1);
  EXPECT_EQ(UpdateString(7, nullptr, 3), -1);
  RefreshBuffer();
  Tick(20);
  EXPECT_EQ(output, before);

  // The loader registered version 1; the update is version 2 and slides in
  // at once, pushing the old text ahead of it.
  EXPECT_EQ(UpdateString(7, "NEW", 3), 2);
  RefreshBuffer();
  const auto fresh = Glyphs("NEW");
  EXPECT_TRUE(HostShows(0, 0, Beside(Beside(Columns(fresh, 18, 6), Glyphs("AB")), Dark(2, 16))));
  Tick(3);
  EXPECT_TRUE(HostShows(0, 0, fresh));
  EXPECT_EQ(UpdateString(7, "NEW", 3), 3);

  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(UpdateString(7, "NEW", 3), -1);
}

TEST_F(TextPlayTest, UpdatesLongerThan255BytesAreCut) {
  Start(8, 16, 1);
  Bill bill;
  test::Element& e =
      bill.AddPage().AddArea(0, 0, 8, 16).AddComponent(0, 0, 8, 16).AddElement(2, StringPayload(9, "A"));
  e.speed = 8;  // entry effect 0
  e.staytime = 30;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("A")));
  // 300 bytes: only the first 255 (ending in B) are kept. The text is far
  // wider than the component, so it slides in from the right until its last
  // glyph stands there, 6 of its 2040 pixels a tick.
  const std::string text = std::string(254, 'A') + "B" + std::string(45, 'H');
  EXPECT_EQ(UpdateString(9, text.data(), static_cast<int32_t>(text.size())), 2);
  RefreshBuffer();
  Tick(338);
  EXPECT_FALSE(HostShows(0, 0, Glyphs("B")));
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Glyphs("B")));
  Tick(20);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("B")));
}

TEST_F(TextPlayTest, WrappedTextBreaksAtTheComponentWidth) {
  Start(48, 32, 1);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 48, 32);
  // Chosen Instant: the final picture is the image's top-left corner.
  area.AddComponent(0, 0, 24, 32).AddElement(2, StringPayload(0, "AB AB", 16, 1, 0)).entryeffect = 26;
  area.AddComponent(24, 0, 24, 32).AddElement(2, StringPayload(0, "AB AB", 16, 1, 1)).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Above(Glyphs("AB "), Glyphs("AB "))));
  EXPECT_TRUE(HostShows(24, 0, Above(Glyphs("AB "), Dark(24, 16))));  // one line, cut
}

TEST_F(TextPlayTest, OutlineTextAboveSixteenPixels) {
  Start(16, 24, 4);
  Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 24).AddComponent(0, 0, 16, 24).AddElement(
      2, StringPayload(0, "L", 24, 5)).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  // DejaVu Sans at 24 pixels.
  const std::vector<std::string> stem(16, ".###............");
  std::vector<std::string> l = Above(Dark(16, 3), stem);
  l = Above(l, {".###########....", ".###########...."});
  l = Above(l, Dark(16, 3));
  EXPECT_TRUE(HostShows(0, 0, l, 5));
}

TEST_F(TextPlayTest, Gb2312TextInTheBuiltInFontAndInAnOutlineFont) {
  Start(40, 24, 1, LEDVIEW_TEST_CJK_FONT);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 40, 24);
  area.AddComponent(0, 0, 16, 24).AddElement(2, StringPayload(0, "\xB0\xA1", 16)).entryeffect = 26;
  area.AddComponent(16, 0, 24, 24).AddElement(2, StringPayload(0, "\xB0\xA1", 24)).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Above({
      "................", "....###.######..", "###.#.#.....#...", "#.#.#.#.....#...",
      "#.#.#.#.###.#...", "#.#.#.#.#.#.#...", "#.#.##..#.#.#...", "#.#.#.#.#.#.#...",
      "#.#.#.#.#.#.#...", "#.#.#.#.#.#.#...", "###.#.#.###.#...", "#.#.#.#.#.#.#...",
      "....##......#...", "....#.......#...", "....#.....#.#...", "....#......#....",
  }, Dark(16, 8))));
  // WenQuanYi Micro Hei at 24 pixels.
  EXPECT_TRUE(HostShows(16, 0, std::vector<std::string>{
      "........................", "........................", "........................",
      ".......######.########..", ".#####.######.########..", ".##.##.##..##......##...",
      ".##.##.##..##......##...", ".##.##.##..#.......##...", ".##.##.##.##..####.##...",
      ".##.##.##.##..####.##...", ".##.##.##.#...##.#.##...", ".##.##.##.##..##.#.##...",
      ".##.##.##.##..##.#.##...", ".##.##.##..##.##.#.##...", ".##.##.##..##.##.#.##...",
      ".#####.##..##.####.##...", ".#####.##..##.####.##...", ".##.##.##..##.##...##...",
      ".##....##.###......##...", ".......##..........##...", ".......##..........##...",
      ".......##.........###...", ".......##.........###...", "........................",
  }));
}

TEST_F(TextPlayTest, TheSecondPageBringsItsOwnTextsAndStrings) {
  Start(16, 16, 2);
  Bill bill;
  test::Page& first = bill.AddPage(2);
  first.AddArea(0, 0, 16, 16).AddComponent(0, 0, 16, 16).AddElement(2, StringPayload(1, "AB")).entryeffect = 26;
  test::Page& second = bill.AddPage(2);
  second.AddArea(0, 0, 8, 16).AddComponent(0, 0, 8, 16).AddElement(2, StringPayload(1, "I", 16, 3)).entryeffect =
      26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("AB")));
  EXPECT_EQ(UpdateString(1, "HI", 2), 2);
  RefreshBuffer();
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("HI")));
  Second(2);  // the page's play time is over: the display is cleared for the next
  EXPECT_TRUE(HostShows(0, 0, Beside(Glyphs("I"), Dark(8, 16)), 3));
  // The new page registered its own text under the same id afresh.
  EXPECT_EQ(UpdateString(1, "A", 1), 2);
  RefreshBuffer();
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Beside(Glyphs("A"), Dark(8, 16)), 3));
  Second(2);  // and back to the first page, with its own text again
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("AB")));
}

TEST_F(TextPlayTest, StaticStringFollowsItsUpdatesAndIsRedrawnEverySecond) {
  Start(16, 16, 4);
  Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 16, 1).AddComponent(0, 0, 16, 16).AddElement(
      2, StringPayload(2, "HI", 16, 6));
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("HI"), 6));  // no effect: drawn at once
  EXPECT_EQ(UpdateString(2, "AB", 2), 2);
  RefreshBuffer();
  // The new text is drawn over the old at once; the area is cleared only
  // with the next second.
  std::vector<std::string> both = Glyphs("HI");
  const std::vector<std::string> fresh = Glyphs("AB");
  for (size_t y = 0; y < both.size(); ++y)
    for (size_t x = 0; x < both[y].size(); ++x)
      if (fresh[y][x] == '#') both[y][x] = '#';
  EXPECT_TRUE(HostShows(0, 0, both, 6));
  Second();
  EXPECT_TRUE(HostShows(0, 0, fresh, 6));
  Tick(100);
  Second(3);
  EXPECT_TRUE(HostShows(0, 0, fresh, 6));
}

TEST_F(TextPlayTest, TextThatCannotBeLaidOutWaitsOrMovesOn) {
  Start(48, 16, 1);
  // 120 tabs and a glyph at 1000 pixels: a picture of 60,000 x 1,000 pixels,
  // more than the engine's memory holds.
  const std::string huge = std::string(120, '\t') + "I";
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 48, 16);
  test::Component& waits = area.AddComponent(0, 0, 16, 16);
  waits.AddElement(2, StringPayload(0, huge, 1000)).entryeffect = 26;
  waits.AddElement(1, PicturePayload(Solid(16, 16))).entryeffect = 26;
  test::Component& moves = area.AddComponent(16, 0, 16, 16);
  test::Element& live = moves.AddElement(2, StringPayload(5, "I", 1000));
  live.entryeffect = 26;
  live.staytime = 100;
  moves.AddElement(1, PicturePayload(Solid(16, 16))).entryeffect = 26;
  test::Element& fine = area.AddComponent(32, 0, 16, 16).AddElement(2, StringPayload(0, "HI"));
  fine.entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  Second(3);
  EXPECT_TRUE(HostDark(0, 0, 16, 16));  // unstarted, retrying on every pass
  EXPECT_TRUE(HostShows(32, 0, Glyphs("HI")));
  // An update that cannot be laid out hands the component on after a second.
  EXPECT_EQ(UpdateString(5, huge.data(), static_cast<int32_t>(huge.size())), 2);
  RefreshBuffer();
  EXPECT_FALSE(HostShows(16, 0, Solid(16, 16)));
  Second();
  EXPECT_TRUE(HostShows(16, 0, Solid(16, 16)));
  EXPECT_TRUE(HostDark(0, 0, 16, 16));
  EXPECT_TRUE(HostShows(32, 0, Glyphs("HI")));
}

// Picture after the first entry step that shows anything, for a slide from
// one edge at 6 pixels a step of a 16 x 16 image with distinct columns and
// rows: the straight slide slot it reveals, or -1.
int32_t StraightSlideShown(const std::string& host, const std::vector<std::string>& image) {
  const std::vector<std::pair<int32_t, std::vector<std::string>>> slides = {
      {8, Beside(Columns(image, 10, 6), Dark(10, 16))},
      {9, Beside(Dark(10, 16), Columns(image, 0, 6))},
      {10, Above(Rows(image, 10, 6), Dark(16, 10))},
      {11, Above(Dark(16, 10), Rows(image, 0, 6))},
  };
  for (const auto& [slot, picture] : slides) {
    if (host == test::InMode(picture, 4, 1)) return slot;
  }
  return -1;
}

TEST_F(TextPlayTest, RandomEntryWalksThroughAllFortyFiveSlots) {
  constexpr int64_t kWhen = 1234567;
  Start(16, 16, 4, LEDVIEW_TEST_FONT, kWhen);
  const auto image = Pattern(16, 16);
  Bill bill;
  test::Component& c = bill.AddPage().AddArea(0, 0, 16, 16).AddComponent(0, 0, 16, 16);
  test::Element& e = c.AddElement(1, PicturePayload(image, 1));
  e.entryeffect = 200;  // random
  e.speed = 8;
  e.exiteffect = 1;  // ClearInstant
  // A marker between two showings: a solid picture in colour 7.
  test::Element& marker = c.AddElement(1, PicturePayload(Solid(16, 16), 7));
  marker.entryeffect = 10;
  marker.speed = 8;
  marker.exiteffect = 1;
  ASSERT_EQ(Play(bill), 0);

  // The loader's draw: the shuffles, then this element's entry position.
  RandomSeed(static_cast<uint32_t>(kWhen));
  for (int i = 0; i < 45 + 9; ++i) RandomNext();
  const uint32_t start = RandomNext() % 45;

  std::vector<int32_t> shown;  // per showing of the element: a slide slot or -1
  bool waiting = true;         // for the element's first visible picture
  for (int tick = 0; tick < 40000 && shown.size() < 47; ++tick) {
    Tick();
    const std::string host = Host(0, 0, 16, 16);
    if (host.find('7') != std::string::npos) {
      waiting = true;  // the marker: the next showing is the element's
    } else if (waiting && host.find('1') != std::string::npos) {
      shown.push_back(StraightSlideShown(host, image));
      waiting = false;
    }
  }
  ASSERT_EQ(shown.size(), 47u);
  std::set<int32_t> slides;
  for (size_t i = 0; i < shown.size(); ++i) {
    const uint32_t slot = entryorder[(start + i) % 45];
    // Other effects may open with a picture a straight slide also shows (the
    // comb slides do), so only the straight slides' positions are checked.
    if (slot < 8 || slot > 11) continue;
    EXPECT_EQ(shown[i], static_cast<int32_t>(slot)) << "showing " << i;
    if (i < 45) slides.insert(shown[i]);
  }
  EXPECT_EQ(slides, (std::set<int32_t>{8, 9, 10, 11}));  // each once in 45 showings
}

// The exit slot whose first step leaves this picture of a lit 15 x 15
// rectangle, or -1.
int32_t ExitShown(const std::string& host) {
  auto lit = [](auto dark) {
    std::vector<std::string> rows = Solid(15, 15);
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 15; ++x)
        if (dark(x, y)) rows[y][x] = '.';
    return test::InMode(rows, 4, 1);
  };
  const std::vector<std::string> firststeps = {
      lit([](int, int) { return true; }),            // ClearInstant
      lit([](int x, int) { return x < 6; }),         // EraseRight
      lit([](int x, int) { return x >= 9; }),        // EraseLeft
      lit([](int, int y) { return y < 6; }),         // EraseDown
      lit([](int, int y) { return y >= 9; }),        // EraseUp
      lit([](int x, int) { return x == 7; }),        // EraseFromMiddleColumn
      lit([](int x, int) { return x == 14; }),       // EraseToMiddleColumn
      lit([](int, int y) { return y == 7; }),        // EraseFromMiddleRow
      lit([](int, int y) { return y == 14; }),       // EraseToMiddleRow
  };
  for (size_t slot = 0; slot < firststeps.size(); ++slot) {
    if (host == firststeps[slot]) return static_cast<int32_t>(slot);
  }
  return -1;
}

TEST_F(TextPlayTest, RandomExitNeverStartsAtTheFirstPositionAndWalksOn) {
  Start(15, 15, 4);
  const std::string full = test::InMode(Solid(15, 15), 4, 1);
  std::set<uint32_t> firstpositions;
  for (int64_t when = 5000; when < 5040; ++when) {
    SCOPED_TRACE("clock " + std::to_string(when));
    ClockSimulate(when);
    Bill bill;
    test::Element& e = bill.AddPage().AddArea(0, 0, 15, 15).AddComponent(0, 0, 15, 15).AddElement(
        1, PicturePayload(Solid(15, 15), 1));
    e.entryeffect = 10;  // SlideDown
    e.speed = 8;
    e.exiteffect = 77;  // random
    ASSERT_EQ(Play(bill), 0);
    std::vector<uint32_t> positions;
    bool shown = false;
    for (int tick = 0; tick < 2000 && positions.size() < 10; ++tick) {
      Tick();
      const std::string host = Host(0, 0, 15, 15);
      if (host == full) {
        shown = true;
      } else if (shown) {
        const int32_t slot = ExitShown(host);
        ASSERT_GE(slot, 0) << host;
        uint32_t at = 0;
        while (exitorder[at] != static_cast<uint32_t>(slot)) ++at;
        positions.push_back(at);
        shown = false;
      }
    }
    ASSERT_EQ(positions.size(), 10u);
    EXPECT_GE(positions[0], 1u);
    EXPECT_LE(positions[0], 7u);
    firstpositions.insert(positions[0]);
    for (size_t i = 1; i < positions.size(); ++i) EXPECT_EQ(positions[i], (positions[i - 1] + 1) % 9);
    Stop();
  }
  EXPECT_GE(firstpositions.size(), 4u);  // the start really is drawn
}

}  // namespace
}  // namespace ledview
