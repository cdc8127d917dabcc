// Pictures, paged pictures and strings played through the exported calls.
// A slide moves 1 pixel every 4 ticks at speed 0, 2 a tick at speed 4, 6 at
// speed 8; the first scheduler pass comes with the 9th tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "ledview.h"
#include "playbill/loader.h"
#include "playbill/nodes.h"
#include "effects/random.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

constexpr int kFirstPass = 9;

void Effects(Element& e, uint16_t entry, uint16_t speed, uint32_t stay = 0, uint32_t exit = 0, uint16_t delay = 0) {
  e.delaytime = delay;
  e.entryeffect = entry;
  e.speed = speed;
  e.staytime = stay;
  e.exiteffect = exit;
}

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
  Effects(c.AddElement(1, PicturePayload(Solid(8, 4))), 26, 0, 1);
  c.AddElement(1, PicturePayload(narrow)).entryeffect = 26;
  Effects(area.AddComponent(0, 4, 8, 4).AddElement(1, PicturePayload(narrow)), 26, 0, 0, 0, 2);  // late
  Effects(area.AddComponent(8, 4, 8, 4).AddElement(1, PicturePayload(Solid(8, 4))), 53, 8, 1);  // random
  ASSERT_EQ(Play(bill), 0);
  std::fill(std::begin(entryorder), std::end(entryorder), 26);  // all Instant: a showing a second
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(2, 4), Columns(wide, 0, 6))));
  EXPECT_TRUE(HostShows(8, 0, Above(Dark(8, 3), Rows(tall, 0, 1))));
  EXPECT_TRUE(HostShows(16, 0, Columns(wide, 0, 8)));
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
  Component& c = bill.AddPage().AddArea(0, 0, 4, 4).AddComponent(0, 0, 4, 4);
  Effects(c.AddElement(7, PagesPayload(pages)), 10, 4, 1, 4);  // SlideDown 2 rows a tick, EraseDown
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
  Component& scroll = area.AddComponent(16, 0, 8, 4);
  Effects(scroll.AddElement(1, PicturePayload(Pattern(8, 4))), 50, 8);  // ScrollLoopLeft: a pass every tick
  area.AddComponent(0, 0, 0, 4).AddElement(1, PicturePayload(Solid(4, 4)));
  area.AddComponent(0, 0, 8, 0).AddElement(2, StringPayload(0, "A"));
  area.AddComponent(4, 0, 0, 4).AddElement(7, PagesPayload({Solid(4, 4)}));
  const Pic image = Pattern(8, 4);
  Effects(area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(image)), 8, 0, 1, 2);  // a second's stay
  ASSERT_EQ(Play(bill), 0);
  for (int second = 0; second < 10; ++second) {
    Tick(100);
    EXPECT_TRUE(HostShows(8, 0, image));
    Second();
    EXPECT_TRUE(HostShows(8, 0, Beside(Dark(1, 4), Columns(image, 1, 7))));
  }
  EXPECT_TRUE(HostDark(0, 0, 8, 4));
}

TEST_F(TextPlayTest, UpdateStringCodesAndWhoFollowsTheTable) {
  Start(40, 16, 2);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 40, 16);
  Effects(area.AddComponent(0, 0, 24, 16).AddElement(2, StringPayload(7, "AB")), 8, 8, 30);  // 6 pixels a tick
  area.AddComponent(24, 0, 8, 16).AddElement(2, StringPayload(0, "A")).entryeffect = 26;  // no id
  area.AddComponent(32, 0, 8, 16).AddElement(2, StringPayload(3, "B")).entryeffect = 26;
  area.AddComponent(32, 0, 0, 16).AddElement(2, StringPayload(3, "C"));  // the same id again
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Beside(Beside(Glyphs("AB"), Dark(8, 16)), Glyphs("AC"))));  // the last registered
  const std::vector<uint8_t> before = output;  // refused updates change nothing, ask for no redraw
  for (auto [id, text, n] : {std::tuple{-1, "NEW", 3}, {7, "NEW", 0}, {7, nullptr, 3}})
    EXPECT_EQ(UpdateString(id, text, n), -1) << id << " " << n;
  Tick(20);
  EXPECT_EQ(output, before);
  EXPECT_EQ(UpdateString(0, "I", 1), 1);  // stored, but nobody reads id 0
  EXPECT_EQ(UpdateString(3, "H", 1), 3);  // registered twice by the loader
  EXPECT_EQ(UpdateString(7, "NEW", 3), 2);  // version 2 slides in at once, pushing the old text
  RefreshBuffer();
  const Pic fresh = Glyphs("NEW");
  EXPECT_TRUE(HostShows(0, 0, Beside(Beside(Columns(fresh, 18, 6), Glyphs("AB")), Dark(2, 16))));
  Tick(3);
  EXPECT_TRUE(HostShows(0, 0, Beside(fresh, Glyphs("AH"))));
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(UpdateString(7, "NEW", 3), -1);
}

// A live string that changes while a reveal is under way: the reveal goes on
// over the size the old text had, so the new text shows only inside it.
TEST_F(TextPlayTest, AnUpdateDuringARevealKeepsTheSizeItStartedWith) {
  Start(24, 16, 1);
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 24, 16).AddComponent(0, 0, 24, 16);
  Effects(c.AddElement(2, StringPayload(7, "AB")), 37, 4, 30);  // FramesInward, a frame a tick
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 2);
  EXPECT_EQ(UpdateString(7, "ABC", 3), 2);
  RefreshBuffer();
  Tick(20);
  EXPECT_TRUE(HostShows(0, 0, Beside(Glyphs("AB"), Dark(8, 16))));
}

// Chosen Instant shows the image's top-left corner. Static areas are drawn
// at once, follow an update at once and are cleared with the next second.
// Found by fuzzing: a string too large for the engine's memory waits, or in
// an update hands the component on after a second.
TEST_F(TextPlayTest, WrappingOutlineStaticAreasAndTextTooLarge) {
  Start(64, 48, 4);
  Bill bill;
  Page& page = bill.AddPage();
  Area& area = page.AddArea(0, 0, 64, 32);
  area.AddComponent(0, 0, 24, 32).AddElement(2, StringPayload(0, "AB AB", 16, 1, 0)).entryeffect = 26;
  area.AddComponent(24, 0, 24, 32).AddElement(2, StringPayload(0, "AB AB", 16, 1, 1)).entryeffect = 26;
  area.AddComponent(48, 0, 16, 24).AddElement(2, StringPayload(0, "L", 24, 5)).entryeffect = 26;
  page.AddArea(0, 32, 16, 16, 1).AddComponent(0, 0, 16, 16).AddElement(2, StringPayload(2, "HI", 16, 6));
  page.AddArea(16, 32, 8, 2, 1).AddComponent(0, 0, 8, 2).AddElement(1, PicturePayload({"##..", "#..."}, 2));
  const std::string huge = std::string(120, '\t') + "I";  // 60,000 x 1,000 pixels
  Area& large = page.AddArea(24, 32, 40, 16);
  Component& waits = large.AddComponent(0, 0, 16, 16);
  waits.AddElement(2, StringPayload(0, huge, 1000)).entryeffect = 26;
  waits.AddElement(1, PicturePayload(Solid(16, 16))).entryeffect = 26;
  Component& moves = large.AddComponent(16, 0, 16, 16);
  Effects(moves.AddElement(2, StringPayload(5, "I", 1000)), 26, 0, 100);
  moves.AddElement(1, PicturePayload(Solid(16, 16))).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 32, Glyphs("HI"), 6));
  EXPECT_TRUE(HostShows(16, 32, "22......\n2......."));
  EXPECT_TRUE(HostShows(0, 0, Above(Glyphs("AB "), Glyphs("AB "))));
  EXPECT_TRUE(HostShows(24, 0, Above(Glyphs("AB "), Dark(24, 16))));  // one line, cut
  const Pic l = Above(Above(Dark(16, 3), Pic(16, ".###............")), Above(Pic(2, ".###########...."), Dark(16, 3)));
  EXPECT_TRUE(HostShows(48, 0, l, 5));  // DejaVu Sans at 24 pixels
  EXPECT_EQ(UpdateString(2, "AB", 2), 2);
  RefreshBuffer();
  EXPECT_FALSE(HostShows(0, 32, Glyphs("HI"), 6));  // "AB" drawn over "HI"
  Second();
  EXPECT_TRUE(HostShows(0, 32, Glyphs("AB"), 6));
  Second(2);
  EXPECT_TRUE(HostDark(24, 32, 16, 16));  // unstarted, retrying on every pass
  EXPECT_EQ(UpdateString(5, huge.data(), static_cast<int32_t>(huge.size())), 2);
  RefreshBuffer();
  EXPECT_FALSE(HostShows(40, 32, Solid(16, 16)));
  Second();
  EXPECT_TRUE(HostShows(40, 32, Solid(16, 16)));
  EXPECT_TRUE(HostDark(24, 32, 16, 16));
}

}  // namespace
}  // namespace ledview::test
