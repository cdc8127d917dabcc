// Text end to end: a host configures the engine, loads a font, registers its
// buffer, hands over a playbill of strings and drives it tick by tick and
// second by second, replacing live strings as it goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledview.h"
#include "playbill/loader.h"
#include "playbill/random.h"
#include "support/text_play.h"

namespace ledview::test {
namespace {

constexpr int kFirstPass = 9;

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

TEST_F(TextPlayTest, UpdateStringCodesAndTheUpdatePushingTheOldTextAhead) {
  Start(24, 16, 2);
  Bill bill;
  Element& e = bill.AddPage().AddArea(0, 0, 24, 16).AddComponent(0, 0, 24, 16).AddElement(2, StringPayload(7, "AB"));
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
  Tick(20);
  EXPECT_EQ(output, before);
  // The loader registered version 1; the update is version 2 and slides in
  // at once, pushing the old text ahead of it.
  EXPECT_EQ(UpdateString(7, "NEW", 3), 2);
  RefreshBuffer();
  const Pic fresh = Glyphs("NEW");
  EXPECT_TRUE(HostShows(0, 0, Beside(Beside(Columns(fresh, 18, 6), Glyphs("AB")), Dark(2, 16))));
  Tick(3);
  EXPECT_TRUE(HostShows(0, 0, fresh));
  EXPECT_EQ(UpdateString(7, "NEW", 3), 3);
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(UpdateString(7, "NEW", 3), -1);
}

TEST_F(TextPlayTest, OnlyElementsWithAnIdFollowTheTableAndSharedIdsShowTheLastText) {
  Start(24, 16, 1);
  Bill bill;
  Area& area = bill.AddPage().AddArea(0, 0, 24, 16);
  area.AddComponent(0, 0, 8, 16).AddElement(2, StringPayload(0, "A")).entryeffect = 26;
  area.AddComponent(8, 0, 8, 16).AddElement(2, StringPayload(3, "A")).entryeffect = 26;
  area.AddComponent(16, 0, 8, 16).AddElement(2, StringPayload(3, "B")).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("ABB")));
  EXPECT_EQ(UpdateString(0, "I", 1), 1);  // stored, but nobody reads id 0
  EXPECT_EQ(UpdateString(3, "H", 1), 3);
  RefreshBuffer();
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("AHH")));
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

TEST_F(TextPlayTest, TheSecondPageBringsItsOwnTextsAndStrings) {
  Start(16, 16, 2);
  Bill bill;
  bill.AddPage(2).AddArea(0, 0, 16, 16).AddComponent(0, 0, 16, 16).AddElement(2, StringPayload(1, "AB")).entryeffect = 26;
  bill.AddPage(2).AddArea(0, 0, 8, 16).AddComponent(0, 0, 8, 16).AddElement(2, StringPayload(1, "I", 16, 3)).entryeffect = 26;
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass + 5);
  EXPECT_EQ(UpdateString(1, "HI", 2), 2);
  RefreshBuffer();
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("HI")));
  Second(2);  // the page's play time is over: the display is cleared for the next
  EXPECT_TRUE(HostShows(0, 0, Beside(Glyphs("I"), Dark(8, 16)), 3));
  EXPECT_EQ(UpdateString(1, "A", 1), 2);  // the new page registered its text afresh
  Second(2);  // and back to the first page, with its own text again
  Tick(5);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("AB")));
}

TEST_F(TextPlayTest, StaticStringFollowsItsUpdatesAndIsRedrawnEverySecond) {
  Start(16, 16, 4);
  Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 16, 1).AddComponent(0, 0, 16, 16).AddElement(2, StringPayload(2, "HI", 16, 6));
  ASSERT_EQ(Play(bill), 0);
  Tick(kFirstPass);
  EXPECT_TRUE(HostShows(0, 0, Glyphs("HI"), 6));  // no effect: drawn at once
  EXPECT_EQ(UpdateString(2, "AB", 2), 2);
  RefreshBuffer();
  // The new text is drawn over the old at once; the area is cleared only
  // with the next second.
  Pic both = Glyphs("HI");
  const Pic fresh = Glyphs("AB");
  for (size_t y = 0; y < both.size(); ++y)
    for (size_t x = 0; x < both[y].size(); ++x) both[y][x] = fresh[y][x] == '#' ? '#' : both[y][x];
  EXPECT_TRUE(HostShows(0, 0, both, 6));
  Second();
  EXPECT_TRUE(HostShows(0, 0, fresh, 6));
}

TEST_F(TextPlayTest, TextThatCannotBeLaidOutWaitsOrMovesOn) {
  Start(48, 16, 1);
  // 120 tabs and a glyph at 1000 pixels: more than the engine's memory holds.
  const std::string huge = std::string(120, '\t') + "I";
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

// Random effects walk the shuffled orders, one position per showing; the
// exit's walk starts one past the loader's draw.
TEST_F(TextPlayTest, RandomEffectsWalkTheShuffledOrders) {
  Start(16, 16, 1);
  const Pic image = Pattern(16, 16);
  Bill bill;
  Element& e = bill.AddPage().AddArea(0, 0, 16, 16).AddComponent(0, 0, 16, 16).AddElement(1, PicturePayload(image));
  e.entryeffect = 200;
  e.exiteffect = 77;
  e.speed = 8;
  ASSERT_EQ(Play(bill), 0);
  const ElementNode* node = billstate.first->areas->components->first;
  for (uint32_t k = 0; k < 4; ++k) {
    entryorder[(node->entryIndex + k) % kEntryOrderCount] = 8 + k;  // SlideRight, Left, Down, Up
    exitorder[(node->exitIndex + 1 + k) % kExitOrderCount] = 1 + k;  // EraseRight, Left, Down, Up
  }
  const std::vector<Pic> entries = {
      Beside(Columns(image, 10, 6), Dark(10, 16)), Beside(Dark(10, 16), Columns(image, 0, 6)),
      Above(Rows(image, 10, 6), Dark(16, 10)), Above(Dark(16, 10), Rows(image, 0, 6))};
  const std::vector<Pic> exits = {
      Beside(Dark(6, 16), Columns(image, 6, 10)), Beside(Columns(image, 0, 10), Dark(6, 16)),
      Above(Dark(16, 6), Rows(image, 6, 10)), Above(Rows(image, 0, 10), Dark(16, 6))};
  size_t seen = 0;
  int phase = 0;  // waiting for: 0 the entry, 1 the whole picture, 2 the exit, 3 darkness
  for (int tick = 0; tick < 2000 && seen < 4; ++tick) {
    Tick();
    const bool dark = HostDark(0, 0, 16, 16);
    if (phase == 0 && !dark) {
      EXPECT_TRUE(HostShows(0, 0, entries[seen])) << "showing " << seen;
      phase = 1;
    } else if (phase == 1 && HostShows(0, 0, image)) {
      phase = 2;
    } else if (phase == 2 && !HostShows(0, 0, image)) {
      EXPECT_TRUE(HostShows(0, 0, exits[seen])) << "showing " << seen;
      phase = 3;
    } else if (phase == 3 && dark) {
      phase = 0;
      ++seen;
    }
  }
  EXPECT_EQ(seen, 4u);
}

}  // namespace
}  // namespace ledview::test
