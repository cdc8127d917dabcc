// The life of text elements as a host sees it: playbills of stored pictures,
// strings and paged pictures played through the exported functions, with the
// host's buffer checked at chosen ticks. Timings follow from the effect
// speeds: at speed 0 a slide moves 1 pixel every 4 ticks, at speed 4 2 pixels
// every tick, at speed 8 6 pixels every tick; the first scheduler pass comes
// with the 9th tick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview.h"
#include "playbill/loader.h"
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
using test::TextPlayTest;

constexpr int kFirstPass = 9;

class TextElementTest : public TextPlayTest {};

TEST_F(TextElementTest, PictureSlidesInStaysErasesAndComesBack) {
  Start(16, 8, 1);
  const auto image = Pattern(8, 4);
  Bill bill;
  test::Element& e =
      bill.AddPage().AddArea(0, 0, 16, 8).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;  // SlideRight
  e.staytime = 2;
  e.exiteffect = 2;  // EraseRight
  ASSERT_EQ(Play(bill), 0);

  Tick(kFirstPass - 1);
  EXPECT_TRUE(HostDark(0, 0, 16, 8));
  Tick();  // the first step: the image's last column at the left edge
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 7, 1), Dark(7, 4))));
  Tick(3);
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 7, 1), Dark(7, 4))));
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 6, 2), Dark(6, 4))));
  Tick(24);  // eight steps in all
  EXPECT_TRUE(HostShows(0, 0, Joined(image)));
  Tick(40);
  Second();  // the stay lasts two seconds
  EXPECT_TRUE(HostShows(0, 0, Joined(image)));
  Second();  // the exit clears one column per step, at the entry's pace
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(1, 4), Columns(image, 1, 7))));
  Tick(4);
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(2, 4), Columns(image, 2, 6))));
  Tick(24);
  EXPECT_TRUE(HostDark(0, 0, 16, 8));
  // The finishing call, then the component's wait of the entry's step delay,
  // and the element enters again.
  Tick(7);
  EXPECT_TRUE(HostDark(0, 0, 16, 8));
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 7, 1), Dark(7, 4))));
  EXPECT_TRUE(HostDark(8, 0, 8, 8));  // nothing ever left the component
  EXPECT_TRUE(HostDark(0, 4, 8, 4));
}

TEST_F(TextElementTest, StartDelayHoldsTheEntryForItsSeconds) {
  Start(8, 4, 1);
  const auto image = Pattern(8, 4);
  Bill bill;
  test::Element& e =
      bill.AddPage().AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;
  e.speed = 8;
  e.delaytime = 2;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 30);
  Second();
  EXPECT_TRUE(HostDark(0, 0, 8, 4));
  Second();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 2, 6), Dark(2, 4))));
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Joined(image)));
}

TEST_F(TextElementTest, DefaultEntrySlidesAWideImageInFromTheRightAndKeepsDoingSo) {
  Start(8, 4, 1);
  const auto image = Pattern(24, 4);
  Bill bill;
  test::Element& e =
      bill.AddPage().AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.speed = 8;  // entry effect 0, no exit, no stay
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Beside(Dark(2, 4), Columns(image, 0, 6))));
  Tick(3);  // travel 24 in steps of 6: the image's last 8 columns stay
  EXPECT_TRUE(HostShows(0, 0, Joined(Columns(image, 16, 8))));
  // Handed back after one tick, the only element enters again, sliding once
  // more: the choice stays for the page.
  Tick();
  EXPECT_TRUE(HostShows(0, 0, Beside(Columns(image, 22, 2), Columns(image, 0, 6))));
}

TEST_F(TextElementTest, DefaultEntrySlidesATallImageUpAndLeavesChosenEffectsAlone) {
  Start(16, 4, 1);
  const auto tall = Pattern(8, 12);
  const auto wide = Pattern(24, 4);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 16, 4);
  area.AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(tall));  // speed 0
  // Instant chosen on purpose (slot 26) is kept even for a wide image: the
  // image's first columns end on the sign.
  area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(wide)).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Above(Dark(8, 3), Rows(tall, 0, 1))));
  Tick(4);
  EXPECT_TRUE(HostShows(0, 0, Above(Dark(8, 2), Rows(tall, 0, 2))));
  Tick(20);
  EXPECT_TRUE(HostShows(8, 0, Joined(Columns(wide, 0, 8))));
}

TEST_F(TextElementTest, APictureUnderHalfTheComponentClearsItFirst) {
  Start(16, 4, 1);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 16, 4);
  const auto narrow = Pattern(3, 4);  // under half of 8
  const auto half = Pattern(4, 4);    // exactly half
  for (const auto* second : {&narrow, &half}) {
    test::Component& c = area.AddComponent(second == &narrow ? 0 : 8, 0, 8, 4);
    test::Element& full = c.AddElement(1, PicturePayload(Solid(8, 4)));
    full.entryeffect = 26;
    full.staytime = 1;
    test::Element& next = c.AddElement(1, PicturePayload(*second));
    next.entryeffect = 8;  // narrower than a step: drawn whole at once
    next.speed = 8;
    next.staytime = 5;
  }
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 20);
  EXPECT_TRUE(HostShows(0, 0, Joined(Solid(16, 4))));
  Second();
  EXPECT_TRUE(HostShows(0, 0, Beside(narrow, Dark(5, 4))));
  EXPECT_TRUE(HostShows(8, 0, Beside(half, Solid(4, 4))));  // the solid picture's remains
}

TEST_F(TextElementTest, PagedPictureEntersAndLeavesPageByPage) {
  Start(4, 4, 1);
  const std::vector<std::vector<std::string>> pages = {
      {"#...", "#...", "#...", "####"}, {"####", "...#", "...#", "...#"}, {"#..#", ".##.", ".##.", "#..#"}};
  Bill bill;
  test::Element& e = bill.AddPage().AddArea(0, 0, 4, 4).AddComponent(0, 0, 4, 4).AddElement(
      7, test::PagesPayload(pages));
  e.entryeffect = 10;  // SlideDown, two rows per tick
  e.speed = 4;
  e.staytime = 1;
  e.exiteffect = 4;  // EraseDown
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  for (int round = 0; round < 2; ++round) {
    for (size_t p = 0; p < pages.size(); ++p) {
      SCOPED_TRACE("round " + std::to_string(round) + " page " + std::to_string(p));
      // The page's bottom rows enter at the top.
      EXPECT_TRUE(HostShows(0, 0, Above(Rows(pages[p], 2, 2), Dark(4, 2))));
      Tick();
      EXPECT_TRUE(HostShows(0, 0, Joined(pages[p])));
      Tick(20);
      EXPECT_TRUE(HostShows(0, 0, Joined(pages[p])));
      Second();  // the stay is over: the top rows go first
      EXPECT_TRUE(HostShows(0, 0, Above(Dark(4, 2), Rows(pages[p], 2, 2))));
      Tick(2);  // erased, then the finishing call
      EXPECT_TRUE(HostDark(0, 0, 4, 4));
      Tick();   // a pause of the step delay (or the hand-back after the last page)
    }
  }
}

TEST_F(TextElementTest, PagedPictureWithoutExitWaitsItsStayOnEveryPageThenMovesOn) {
  Start(4, 4, 1);
  const std::vector<std::vector<std::string>> pages = {{"#...", "#...", "#...", "#..."},
                                                       {".#..", ".#..", ".#..", ".#.."}};
  Bill bill;
  test::Component& c = bill.AddPage().AddArea(0, 0, 4, 4).AddComponent(0, 0, 4, 4);
  test::Element& e = c.AddElement(7, test::PagesPayload(pages));
  e.entryeffect = 10;
  e.speed = 8;  // a page is shorter than a step: it enters at once
  e.staytime = 1;
  c.AddElement(1, PicturePayload(Solid(4, 4))).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 10);
  EXPECT_TRUE(HostShows(0, 0, Joined(pages[0])));
  Second();
  EXPECT_TRUE(HostShows(0, 0, Joined(pages[1])));
  Tick(10);
  EXPECT_TRUE(HostShows(0, 0, Joined(pages[1])));
  Second();  // the stay after the last page, then the component's next element
  EXPECT_TRUE(HostShows(0, 0, Joined(Solid(4, 4))));
}

TEST_F(TextElementTest, EmptyComponentsDrawNothingAndStarveNobody) {
  Start(24, 4, 1);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 24, 4);
  // An endless scroll makes a scheduler pass on every tick.
  test::Element& scroll = area.AddComponent(16, 0, 8, 4).AddElement(1, PicturePayload(Pattern(8, 4)));
  scroll.entryeffect = 50;  // ScrollLoopLeft
  scroll.speed = 8;
  // Three components without room: a picture, a string and pages.
  area.AddComponent(0, 0, 0, 4).AddElement(1, PicturePayload(Solid(4, 4)));
  area.AddComponent(0, 0, 8, 0).AddElement(2, test::StringPayload(0, "A"));
  area.AddComponent(4, 0, 0, 4).AddElement(7, test::PagesPayload({Solid(4, 4)}));
  // A neighbour that asks for a second timer for its stay well into each
  // second, after a slow entry.
  const auto image = Pattern(8, 4);
  test::Element& e = area.AddComponent(8, 0, 8, 4).AddElement(1, PicturePayload(image));
  e.entryeffect = 8;
  e.staytime = 1;
  e.exiteffect = 2;  // EraseRight
  ASSERT_EQ(Play(bill), 0);
  for (int second = 0; second < 20; ++second) {
    Tick(100);
    EXPECT_TRUE(HostShows(8, 0, Joined(image)));
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

TEST_F(TextElementTest, StaticPictureIsRedrawnEverySecondOverWhatLiesThere) {
  Start(8, 4, 4);
  Bill bill;
  test::Page& page = bill.AddPage();
  // A normal area under the static one whose element draws its picture at
  // once and clears the shared rectangle two ticks later.
  test::Element& wipe = page.AddArea(0, 0, 8, 4).AddComponent(0, 0, 8, 4).AddElement(
      1, PicturePayload(Solid(8, 4), 4));
  wipe.entryeffect = 10;  // SlideDown, shorter than a step
  wipe.exiteffect = 1;    // ClearInstant
  wipe.speed = 8;
  const auto image = Pattern(8, 4);
  page.AddArea(0, 0, 8, 4, 1).AddComponent(0, 0, 8, 4).AddElement(1, PicturePayload(image, 2));
  ASSERT_EQ(Play(bill), 0);
  auto colour = [](const std::vector<std::string>& rows, char lit, char dark) {
    std::string s = Joined(rows);
    for (char& ch : s) ch = ch == '#' ? lit : (ch == '.' ? dark : ch);
    return s;
  };
  Tick(kFirstPass);
  // The static picture is ORed over the solid colour-4 picture.
  EXPECT_TRUE(HostShows(0, 0, colour(image, '6', '4')));
  Tick(2);
  EXPECT_TRUE(HostDark(0, 0, 8, 4));  // cleared by the exit; the static area waits
  Second();
  EXPECT_TRUE(HostShows(0, 0, colour(image, '2', '.')));
}

TEST_F(TextElementTest, OnlyElementsWithAStringIdFollowTheTable) {
  Start(16, 16, 1);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 16, 16);
  test::Element& fixed = area.AddComponent(0, 0, 8, 16).AddElement(2, test::StringPayload(0, "A"));
  fixed.entryeffect = 26;
  test::Element& live = area.AddComponent(8, 0, 8, 16).AddElement(2, test::StringPayload(4, "A"));
  live.entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Joined(Glyphs("AA"))));
  EXPECT_EQ(UpdateString(0, "B", 1), 1);  // stored, but nobody reads id 0
  EXPECT_EQ(UpdateString(4, "B", 1), 2);
  RefreshBuffer();
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Joined(Glyphs("AB"))));
}

TEST_F(TextElementTest, ElementsSharingAnIdShowTheLastRegisteredText) {
  Start(16, 16, 1);
  Bill bill;
  test::Area& area = bill.AddPage().AddArea(0, 0, 16, 16);
  area.AddComponent(0, 0, 8, 16).AddElement(2, test::StringPayload(3, "A")).entryeffect = 26;
  area.AddComponent(8, 0, 8, 16).AddElement(2, test::StringPayload(3, "B")).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Joined(Glyphs("BB"))));
  EXPECT_EQ(UpdateString(3, "A", 1), 3);
  RefreshBuffer();
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Joined(Glyphs("AA"))));
}

}  // namespace
}  // namespace ledview
