// Pictures, paged pictures and strings end to end: a host configures the
// engine, loads a font, registers its buffer, hands over a playbill and
// drives it tick by tick and second by second, replacing live strings as it
// goes. At speed 0 a slide moves 1 pixel every 4 ticks, at speed 4 2 pixels
// a tick, at speed 8 6 pixels a tick; the first scheduler pass comes with
// the 9th tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "ledview.h"
#include "playbill/loader.h"
#include "playbill/nodes.h"
#include "playbill/random.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

constexpr int kFirstPass = 9;

using PictureTest = TextPlayTest;

// Instant is slid in when the picture does not fit; a picture under half the
// component clears what the last one left; a start delay holds an element
// back; a random entry moves one place along the shuffled order per showing.
TEST_F(PictureTest, DefaultEntryClearingStartDelayAndRandomOrder) {
  Start(32, 8, 1);
  const Pic wide = Pattern(24, 4), tall = Pattern(8, 12), narrow = Pattern(3, 4);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 32, 8);
  area.AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(wide)).speed = 8;  // entry effect 0
  area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(tall));            // speed 0
  area.AddComponent(16, 0, 8, 4).AddElement(1, PicturePayload(wide)).entryeffect = 26;  // chosen: kept
  Component& c = area.AddComponent(24, 0, 8, 4);
  Element& full = c.AddElement(1, PicturePayload(Solid(8, 4)));
  full.entryeffect = 26;
  full.staytime = 1;
  c.AddElement(1, PicturePayload(narrow)).entryeffect = 26;
  Element& late = area.AddComponent(0, 4, 8, 4).AddElement(1, PicturePayload(narrow));
  late.entryeffect = 26;
  late.delaytime = 2;
  Element& random = area.AddComponent(8, 4, 8, 4).AddElement(1, PicturePayload(Solid(8, 4)));
  random.entryeffect = 53;
  random.speed = 8;
  random.staytime = 1;
  ASSERT_EQ(Play(bill), 0);
  std::fill(std::begin(entryorder), std::end(entryorder), 26);  // all Instant: a showing a second
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(2, 4), Columns(wide, 0, 6))));
  EXPECT_TRUE(HostShows(8, 0, Above(Dark(8, 3), Rows(tall, 0, 1))));
  EXPECT_TRUE(HostShows(16, 0, Columns(wide, 0, 8)));
  EXPECT_TRUE(HostShows(24, 0, Solid(8, 4)));
  Tick(3);  // travel 24 in steps of 6: the last 8 columns stay
  EXPECT_TRUE(HostShows(0, 0, Columns(wide, 16, 8)));
  Tick();  // handed back, it enters again, sliding once more
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(wide, 22, 2), Columns(wide, 0, 6))));
  EXPECT_TRUE(HostShows(8, 0, Above(Dark(8, 2), Rows(tall, 0, 2))));
  Second();
  EXPECT_TRUE(HostShows(24, 0, Beside(narrow, Dark(5, 4))));
  EXPECT_TRUE(HostDark(0, 4, 8, 4));
  Second();
  EXPECT_TRUE(HostShows(0, 4, Beside(narrow, Dark(5, 4))));
  ComponentNode* last = billstate.first->areas->components;
  while (last->next != nullptr) last = last->next;
  const uint32_t start = last->first->entryIndex;
  for (uint32_t showing = 1; showing <= kEntryOrderCount; ++showing) {
    Tick(100);
    Second();
    ASSERT_EQ(last->first->entryIndex, (start + showing) % kEntryOrderCount) << showing;
  }
}

TEST_F(PictureTest, PagedPictureEntersAndLeavesPageByPage) {
  Start(4, 4, 1);
  const std::vector<Pic> pages = {{"#...", "#...", "#...", "####"}, {"####", "...#", "...#", "...#"}};
  Bill bill;
  Element& e = bill.AddPage().AddArea(0, 0, 4, 4).AddComponent(0, 0, 4, 4).AddElement(7, PagesPayload(pages));
  e.entryeffect = 10;  // SlideDown, two rows a tick
  e.speed = 4;
  e.staytime = 1;
  e.exiteffect = 4;  // EraseDown
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  for (int showing = 0; showing < 4; ++showing) {
    const Pic& page = pages[showing % 2];
    EXPECT_TRUE(HostShows(0, 0, Above(Rows(page, 2, 2), Dark(4, 2)))) << showing;  // bottom rows first
    Tick(21);
    EXPECT_TRUE(HostShows(0, 0, page));
    Second();  // the stay is over: the top rows go first
    EXPECT_TRUE(HostShows(0, 0, Above(Dark(4, 2), Rows(page, 2, 2))));
    Tick(2);  // erased, then the finishing call
    EXPECT_TRUE(HostDark(0, 0, 4, 4));
    Tick();  // the step delay's pause, or the hand-back after the last page
  }
}

// Found by fuzzing: components without room must neither draw nor hold up
// their neighbours' timers.
TEST_F(PictureTest, EmptyComponentsDrawNothingAndStarveNobody) {
  Start(24, 4, 1);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 24, 4);
  Element& scroll = area.AddComponent(16, 0, 8, 4).AddElement(1, PicturePayload(Pattern(8, 4)));
  scroll.entryeffect = 50;  // ScrollLoopLeft: a scheduler pass on every tick
  scroll.speed = 8;
  area.AddComponent(0, 0, 0, 4).AddElement(1, PicturePayload(Solid(4, 4)));
  area.AddComponent(0, 0, 8, 0).AddElement(2, StringPayload(0, "A"));
  area.AddComponent(4, 0, 0, 4).AddElement(7, PagesPayload({Solid(4, 4)}));
  const Pic image = Pattern(8, 4);
  Element& e = area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;
  e.staytime = 1;  // a second timer well into each second
  e.exiteffect = 2;
  ASSERT_EQ(Play(bill), 0);
  for (int second = 0; second < 10; ++second) {
    Tick(100);
    EXPECT_TRUE(HostShows(8, 0, image));
    Second();
    EXPECT_TRUE(HostShows(8, 0, Beside(Dark(1, 4), Columns(image, 1, 7))));
  }
  EXPECT_TRUE(HostDark(0, 0, 8, 4));
}

class TextPlayModes : public TextPlayTest, public testing::WithParamInterface<int32_t> {};

TEST_P(TextPlayModes, StringEntersStaysLeavesAndHandsOverToThePicture) {
  Start(24, 16, GetParam());
  const Pic text = Glyphs("AB");
  const Pic picture = Pattern(16, 16);
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 24, 16).AddComponent(4, 0, 16, 16);
  Element& s = c.AddElement(2, StringPayload(0, "AB", 16, 2));
  s.entryeffect = 8;  // SlideRight, 2 pixels a tick
  s.speed = 4;
  s.staytime = 1;
  s.exiteffect = 3;  // EraseLeft
  Element& p = c.AddElement(1, PicturePayload(picture, 1));
  p.entryeffect = 10;  // SlideDown, 6 rows a tick
  p.speed = 8;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(4, 0, Beside(Columns(text, 14, 2), Dark(14, 16)), 2));
  Tick(7);
  EXPECT_TRUE(HostShows(4, 0, text, 2));
  Tick(30);
  Second();  // the exit takes two columns a tick from the right
  EXPECT_TRUE(HostShows(4, 0, Beside(Columns(text, 0, 14), Dark(2, 16)), 2));
  Tick(7);
  EXPECT_TRUE(HostDark(0, 0, 24, 16));
  Tick(2);  // the finishing call, then a tick's wait: the picture comes down
  EXPECT_TRUE(HostShows(4, 0, Above(Rows(picture, 10, 6), Dark(16, 10))));
  EXPECT_TRUE(HostDark(0, 0, 4, 16));
  EXPECT_TRUE(HostDark(20, 0, 4, 16));
}

INSTANTIATE_TEST_SUITE_P(ColourModes, TextPlayModes, testing::Values(1, 2, 4));

TEST_F(TextPlayTest, UpdateStringCodesAndWhoFollowsTheTable) {
  Start(40, 16, 2);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 40, 16);
  Element& e = area.AddComponent(0, 0, 24, 16).AddElement(2, StringPayload(7, "AB"));
  e.entryeffect = 8;  // SlideRight, 6 pixels a tick
  e.speed = 8;
  e.staytime = 30;
  area.AddComponent(24, 0, 8, 16).AddElement(2, StringPayload(0, "A")).entryeffect = 26;  // no id
  area.AddComponent(32, 0, 8, 16).AddElement(2, StringPayload(3, "B")).entryeffect = 26;
  area.AddComponent(32, 0, 0, 16).AddElement(2, StringPayload(3, "C"));  // the same id again
  EXPECT_EQ(UpdateString(7, "NEW", 3), -1);  // nothing plays yet
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Beside(Beside(Glyphs("AB"), Dark(8, 16)), Glyphs("AC"))));  // the last registered
  // Refused updates change nothing and ask for no redraw.
  const std::vector<uint8_t> before = output;
  for (auto [id, text, n] : {std::tuple{-1, "NEW", 3}, {7, "NEW", 0}, {7, "NEW", -3}, {7, nullptr, 3}})
    EXPECT_EQ(UpdateString(id, text, n), -1) << id << " " << n;
  Tick(20);
  EXPECT_EQ(output, before);
  EXPECT_EQ(UpdateString(0, "I", 1), 1);  // stored, but nobody reads id 0
  EXPECT_EQ(UpdateString(3, "H", 1), 3);  // registered twice by the loader
  // Version 2 slides in at once, pushing the old text ahead of it.
  EXPECT_EQ(UpdateString(7, "NEW", 3), 2);
  RefreshBuffer();
  const Pic fresh = Glyphs("NEW");
  EXPECT_TRUE(HostShows(0, 0, Beside(Beside(Columns(fresh, 18, 6), Glyphs("AB")), Dark(2, 16))));
  Tick(3);
  EXPECT_TRUE(HostShows(0, 0, Beside(fresh, Glyphs("AH"))));
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(UpdateString(7, "NEW", 3), -1);
}

TEST_F(TextPlayTest, WrappingOutlineTextAndGb2312) {
  Start(64, 32, 4);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 64, 32);
  // Chosen Instant: the final picture is the image's top-left corner.
  area.AddComponent(0, 0, 24, 32).AddElement(2, StringPayload(0, "AB AB", 16, 1, 0)).entryeffect = 26;
  area.AddComponent(24, 0, 24, 32).AddElement(2, StringPayload(0, "AB AB", 16, 1, 1)).entryeffect = 26;
  area.AddComponent(48, 0, 16, 24).AddElement(2, StringPayload(0, "L", 24, 5)).entryeffect = 26;
  area.AddComponent(48, 24, 16, 8).AddElement(2, StringPayload(0, "\xB0\xA1", 16, 3)).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Above(Glyphs("AB "), Glyphs("AB "))));
  EXPECT_TRUE(HostShows(24, 0, Above(Glyphs("AB "), Dark(24, 16))));  // one line, cut
  // DejaVu Sans at 24 pixels.
  const Pic l = Above(Above(Dark(16, 3), Pic(16, ".###............")), Above(Pic(2, ".###########...."), Dark(16, 3)));
  EXPECT_TRUE(HostShows(48, 0, l, 5));
  EXPECT_TRUE(HostShows(48, 24, Rows(BuiltInGlyph(0xA1B0), 0, 8), 3));
}

TEST_F(TextPlayTest, StaticTextsAreRedrawnEverySecondAndFollowUpdatesAtOnce) {
  Start(24, 16, 4);
  Bill bill;
  Page& page = bill.AddPage();
  page.AddArea(0, 0, 16, 16, 1).AddComponent(0, 0, 16, 16).AddElement(2, StringPayload(2, "HI", 16, 6));
  page.AddArea(16, 0, 8, 2, 1).AddComponent(0, 0, 8, 2).AddElement(1, PicturePayload({"##..", "#..."}, 2));
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("HI"), 6));  // no effect: drawn at once
  EXPECT_TRUE(HostShows(16, 0, "22......\n2......."));
  EXPECT_EQ(UpdateString(2, "AB", 2), 2);
  RefreshBuffer();
  // The new text is drawn over the old at once; the area is cleared with the
  // next second.
  Pic both = Glyphs("HI");
  const Pic fresh = Glyphs("AB");
  for (size_t y = 0; y < 16; ++y)
    for (size_t x = 0; x < 16; ++x) both[y][x] = fresh[y][x] == '#' ? '#' : both[y][x];
  EXPECT_TRUE(HostShows(0, 0, both, 6));
  Second();
  EXPECT_TRUE(HostShows(0, 0, fresh, 6));
}

// Found by fuzzing: a string too large for the engine's memory.
TEST_F(TextPlayTest, TextThatCannotBeLaidOutWaitsOrMovesOn) {
  Start(48, 16, 1);
  const std::string huge = std::string(120, '\t') + "I";  // 60,000 x 1,000 pixels
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 48, 16);
  Component& waits = area.AddComponent(0, 0, 16, 16);
  waits.AddElement(2, StringPayload(0, huge, 1000)).entryeffect = 26;
  waits.AddElement(1, PicturePayload(Solid(16, 16))).entryeffect = 26;
  Component& moves = area.AddComponent(16, 0, 16, 16);
  Element& live = moves.AddElement(2, StringPayload(5, "I", 1000));
  live.entryeffect = 26;
  live.staytime = 100;
  moves.AddElement(1, PicturePayload(Solid(16, 16))).entryeffect = 26;
  area.AddComponent(32, 0, 16, 16).AddElement(2, StringPayload(0, "HI")).entryeffect = 26;
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
}

}  // namespace
}  // namespace ledview::test
