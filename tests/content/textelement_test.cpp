// Stored and paged pictures played through the exported functions, the
// host's buffer checked at chosen ticks. At speed 0 a slide moves 1 pixel
// every 4 ticks, at speed 4 2 pixels a tick, at speed 8 6 pixels a tick; the
// first scheduler pass comes with the 9th tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview.h"
#include "playbill/loader.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

constexpr int kFirstPass = 9;

using PictureTest = TextPlayTest;

TEST_F(PictureTest, SlidesInStaysErasesAndComesBack) {
  Start(16, 8, 1);
  const Pic image = Pattern(8, 4);
  Bill bill;
  Element& e = bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;  // SlideRight
  e.staytime = 2;
  e.exiteffect = 2;  // EraseRight
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass - 1);
  EXPECT_TRUE(HostDark(0, 0, 16, 8));
  Tick();  // the first step: the image's last column at the left edge
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 7, 1), Dark(7, 4))));
  Tick(4);
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 6, 2), Dark(6, 4))));
  Tick(64);
  Second();  // the stay lasts two seconds
  EXPECT_TRUE(HostShows(0, 0, image));
  Second();  // the exit clears one column per step, at the entry's pace
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(1, 4), Columns(image, 1, 7))));
  Tick(28);
  EXPECT_TRUE(HostDark(0, 0, 16, 8));
  Tick(7);  // the finishing call and the step delay's wait, then it enters again
  EXPECT_TRUE(HostDark(0, 0, 16, 8));
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 7, 1), Dark(7, 4))));
  EXPECT_TRUE(HostDark(8, 0, 8, 8));  // nothing ever left the component
  EXPECT_TRUE(HostDark(0, 4, 8, 4));
}

TEST_F(PictureTest, StartDelayHoldsTheEntryForItsSeconds) {
  Start(8, 4, 1);
  const Pic image = Pattern(8, 4);
  Bill bill;
  Element& e = bill.AddPage().AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;
  e.speed = 8;
  e.delaytime = 2;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 30);
  Second();
  EXPECT_TRUE(HostDark(0, 0, 8, 4));
  Second();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 2, 6), Dark(2, 4))));
}

TEST_F(PictureTest, DefaultEntrySlidesWideImagesLeftAndTallOnesUpButChosenEffectsStay) {
  Start(24, 4, 1);
  const Pic wide = Pattern(24, 4);
  const Pic tall = Pattern(8, 12);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 24, 4);
  area.AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(wide)).speed = 8;  // entry effect 0
  area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(tall));            // speed 0
  area.AddComponent(16, 0, 8, 4).AddElement(1, PicturePayload(wide)).entryeffect = 26;  // Instant
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(2, 4), Columns(wide, 0, 6))));
  EXPECT_TRUE(HostShows(8, 0, Above(Dark(8, 3), Rows(tall, 0, 1))));
  EXPECT_TRUE(HostShows(16, 0, Columns(wide, 0, 8)));
  Tick(3);  // travel 24 in steps of 6: the last 8 columns stay
  EXPECT_TRUE(HostShows(0, 0, Columns(wide, 16, 8)));
  // Handed back after one tick, the element enters again, sliding once more.
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(wide, 22, 2), Columns(wide, 0, 6))));
  EXPECT_TRUE(HostShows(8, 0, Above(Dark(8, 2), Rows(tall, 0, 2))));
}

TEST_F(PictureTest, APictureUnderHalfTheComponentClearsItFirst) {
  Start(16, 4, 1);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 16, 4);
  const Pic narrow = Pattern(3, 4);  // under half of 8
  const Pic half = Pattern(4, 4);    // exactly half
  for (const Pic* second : {&narrow, &half}) {
    Component& c = area.AddComponent(second == &narrow ? 0 : 8, 0, 8, 4);
    Element& full = c.AddElement(1, PicturePayload(Solid(8, 4)));
    full.entryeffect = 26;
    full.staytime = 1;
    Element& next = c.AddElement(1, PicturePayload(*second));
    next.entryeffect = 8;  // narrower than a step: drawn whole at once
    next.speed = 8;
    next.staytime = 5;
  }
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 20);
  EXPECT_TRUE(HostShows(0, 0, Solid(16, 4)));
  Second();
  EXPECT_TRUE(HostShows(0, 0, Beside(narrow, Dark(5, 4))));
  EXPECT_TRUE(HostShows(8, 0, Beside(half, Solid(4, 4))));  // the solid picture's remains
}

TEST_F(PictureTest, PagedPictureEntersAndLeavesPageByPage) {
  Start(8, 4, 1);
  const std::vector<Pic> pages = {{"#...", "#...", "#...", "####"}, {"####", "...#", "...#", "...#"}};
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 8, 4);
  Element& e = area.AddComponent(0, 0, 4, 4).AddElement(7, PagesPayload(pages));
  e.entryeffect = 10;  // SlideDown, two rows a tick
  e.speed = 4;
  e.staytime = 1;
  e.exiteffect = 4;  // EraseDown
  // Without an exit each page waits its stay, and then the next element.
  Component& c = area.AddComponent(4, 0, 4, 4);
  Element& quiet = c.AddElement(7, PagesPayload(pages));
  quiet.entryeffect = 10;
  quiet.speed = 8;  // a page is shorter than a step: it enters at once
  quiet.staytime = 1;
  c.AddElement(1, PicturePayload(Solid(4, 4))).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  for (int round = 0; round < 2; ++round) {
    for (size_t p = 0; p < pages.size(); ++p) {
      SCOPED_TRACE("round " + std::to_string(round) + " page " + std::to_string(p));
      EXPECT_TRUE(HostShows(0, 0, Above(Rows(pages[p], 2, 2), Dark(4, 2))));  // bottom rows first
      Tick();
      EXPECT_TRUE(HostShows(0, 0, pages[p]));
      EXPECT_TRUE(round > 0 || HostShows(4, 0, pages[p]));
      Tick(20);
      Second();  // the stay is over: the top rows go first
      EXPECT_TRUE(HostShows(0, 0, Above(Dark(4, 2), Rows(pages[p], 2, 2))));
      EXPECT_TRUE(round > 0 || HostShows(4, 0, p == 0 ? pages[1] : Solid(4, 4)));
      Tick(2);  // erased, then the finishing call
      EXPECT_TRUE(HostDark(0, 0, 4, 4));
      Tick();  // the step delay's pause, or the hand-back after the last page
    }
  }
}

TEST_F(PictureTest, EmptyComponentsDrawNothingAndStarveNobody) {
  Start(24, 4, 1);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 24, 4);
  // An endless scroll makes a scheduler pass on every tick.
  Element& scroll = area.AddComponent(16, 0, 8, 4).AddElement(1, PicturePayload(Pattern(8, 4)));
  scroll.entryeffect = 50;  // ScrollLoopLeft
  scroll.speed = 8;
  // Three components without room: a picture, a string and pages.
  area.AddComponent(0, 0, 0, 4).AddElement(1, PicturePayload(Solid(4, 4)));
  area.AddComponent(0, 0, 8, 0).AddElement(2, StringPayload(0, "A"));
  area.AddComponent(4, 0, 0, 4).AddElement(7, PagesPayload({Solid(4, 4)}));
  // A neighbour whose stay needs a second timer well into each second.
  const Pic image = Pattern(8, 4);
  Element& e = area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;
  e.staytime = 1;
  e.exiteffect = 2;  // EraseRight
  ASSERT_EQ(Play(bill), 0);
  for (int second = 0; second < 10; ++second) {
    Tick(100);
    EXPECT_TRUE(HostShows(8, 0, image));
    Second();  // its stay is over: the exit starts
    EXPECT_TRUE(HostShows(8, 0, Beside(Dark(1, 4), Columns(image, 1, 7))));
  }
  EXPECT_TRUE(HostDark(0, 0, 8, 4));
  // The picture hands its component back once per showing; the others wait
  // unstarted.
  const ComponentNode* c = billstate.current->areas->components->next;
  EXPECT_EQ(c->current->timerstate, -1);
  EXPECT_EQ(c->next->current->timerstate, -1);
  EXPECT_EQ(c->next->next->current->timerstate, -1);
}

TEST_F(PictureTest, StaticPictureIsRedrawnEverySecondOverWhatLiesThere) {
  Start(8, 4, 4);
  Bill bill;
  Page& page = bill.AddPage();
  // Below the static area: a picture drawn at once and cleared two ticks later.
  Element& wipe = page.AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(Solid(8, 4), 4));
  wipe.entryeffect = 10;  // SlideDown, shorter than a step
  wipe.exiteffect = 1;    // ClearInstant
  wipe.speed = 8;
  page.AddArea(0, 0, 8, 4, 1).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload({"##..", "#..."}, 2));
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, "66444444\n64444444\n44444444\n44444444"));  // ORed over colour 4
  Tick(2);
  EXPECT_TRUE(HostDark(0, 0, 8, 4));  // cleared by the exit; the static area waits
  Second();
  EXPECT_TRUE(HostShows(0, 0, "22......\n2.......\n........\n........"));
}

}  // namespace
}  // namespace ledview::test
