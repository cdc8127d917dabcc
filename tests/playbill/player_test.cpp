// The loader and the scheduler with recording renderers, and pages played into the host's buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "content/strings.h"
#include "display/framebuffer.h"
#include "memory/arena.h"
#include "format/playbill.h"
#include "playbill/player.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

using test::Bill, test::CallsOf, test::PlayTest;

std::vector<uint8_t> Clock() { return test::ClockPayload(1, 1, 1, 1, 1); }
std::vector<uint8_t> Picture() { return test::BitmapPayload(8, 8, 1); }
std::vector<int> Rect(const DestRect& r) { return {r.x, r.y, r.width, r.height}; }

class PlayerTest : public test::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    Start(64, 32, 4);  // a 4096 x 128 framebuffer
  }
  // Components of the page playing, or of the first before any step.
  ComponentNode* Components() { return (billstate.current ? billstate.current : billstate.first)->areas->components; }
};

// Pool overflow, or an object outside its bounds, fails the load and gives everything back.
TEST_F(PlayerTest, FailedLoadsGiveEverythingBack) {
  Bill bills[5];
  for (int i = 0; i < 17; ++i) {
    bills[0].AddPage(1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(2, test::StringPayload(9, "p"));
  }
  test::Page& areas = bills[1].AddPage();
  for (int i = 0; i < 33; ++i) areas.AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(4, Clock());
  test::Area& components = bills[2].AddPage().AddArea(0, 0, 64, 32);
  for (int i = 0; i < 129; ++i) components.AddComponent(0, 0, 8, 8).AddElement(4, Clock());
  test::Component& elements = bills[3].AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 8, 8);
  for (int i = 0; i < 257; ++i) elements.AddElement(4, Clock());
  bills[4].AddPage().AddArea(4096, 0, 0, 32).AddComponent(0, 0, 0, 0).AddElement(4, Clock());  // passes validation
  const int32_t errors[5] = {3, 6, 12, 14, 4};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Play(bills[i]), -1);
    EXPECT_EQ(loaderror, errors[i]);
    EXPECT_TRUE(std::all_of(playbillstore, playbillstore + kPlayBillStoreBytes, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(playerpools.pages->freecount + playerpools.areas->freecount + playerpools.components->freecount +
                  playerpools.elements->freecount, 16u + 32u + 128u + 256u);
    EXPECT_EQ(FindString(9, nullptr), 0u);  // the failed load's string is gone
  }
  elements.elements.pop_back();  // exactly the capacities load, after any number of failures
  EXPECT_EQ(Play(bills[3]), 0);
  EXPECT_EQ(playerpools.elements->freecount, 0u);
}

// The loader checks each object against the bytes its parent gives it, on its
// own and not only through validation: an element one byte longer than its
// list fails with the size code before anything is taken from the pool.
TEST_F(PlayerTest, AnObjectLongerThanItsListDoesNotLoad) {
  Bill bill;
  test::Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  c.AddElement(1, Picture());
  const std::vector<uint8_t> bytes = bill.Bytes();
  std::memcpy(playbillstore, bytes.data(), bytes.size());
  // The element list ends the bill.
  uint8_t* list = playbillstore + c.elements[0].offset;
  const int32_t length = static_cast<int32_t>(bytes.size() - c.elements[0].offset);
  const uint32_t free = playerpools.elements->freecount;
  for (const int32_t shortby : {1, static_cast<int32_t>(kElementHeaderBytes)}) {
    loaderror = 0;
    EXPECT_EQ(LoadElements(list, length - shortby, false), nullptr) << shortby << " bytes short";
    EXPECT_EQ(loaderror, kLoadBadObjectSize) << shortby << " bytes short";
    EXPECT_EQ(playerpools.elements->freecount, free);
  }
}

TEST_F(PlayerTest, RectanglesNeverLeaveTheirAreaNorTheFramebuffer) {
  Bill bill;
  test::Area& a = bill.AddPage().AddArea(100, 20, 50, 30);
  a.AddComponent(10, 5, 60, 100).AddElement(4, Clock());
  a.AddComponent(50, 30, 10, 10).AddElement(4, Clock());  // at the area's far corner
  a.AddComponent(0, 0, 7, 3, 1).AddElement(4, Clock());    // smaller than its border
  ASSERT_EQ(Play(bill), 0);
  const ComponentNode* c = Components();
  EXPECT_EQ(Rect(c->outer), (std::vector<int>{110, 25, 40, 25}));
  EXPECT_EQ(Rect(c->next->outer), (std::vector<int>{150, 50, 0, 0}));
  EXPECT_EQ(Rect(c->next->next->inner), (std::vector<int>{103, 21, 0, 0}));
  Stop();
  // Areas that validation refuses: no sum wraps into a rectangle outside the framebuffer.
  Bill edge;
  test::Area& e = edge.AddPage().AddArea(4090, 120, 50, 50);
  e.AddComponent(0, 0, 0xFFFF, 0xFFFF).AddElement(4, Clock());
  e.AddComponent(40, 45, 20, 20).AddElement(4, Clock());
  const std::vector<uint8_t> bytes = edge.Bytes();
  std::memcpy(playbillstore, bytes.data(), bytes.size());
  AreaNode* area = LoadAreas(playbillstore + 28, static_cast<int32_t>(ReadI32(playbillstore + 24)));
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(Rect(area->components->outer), (std::vector<int>{4090, 120, 6, 8}));
  EXPECT_EQ(Rect(area->components->next->outer), (std::vector<int>{4095, 127, 1, 1}));
}

// A finished element hands its component over, or starts again alone; results are seconds (> 0) or ticks (< 0).
TEST_F(PlayerTest, ElementsHandOverOnTheirResults) {
  Bill bill;
  test::Area& area = bill.AddPage(2).AddArea(0, 0, 64, 32);  // a single page plays on
  test::Component& c = area.AddComponent(0, 0, 64, 32);
  c.AddElement(1, Picture());
  c.AddElement(1, Picture());
  area.AddComponent(2, 3, 20, 10).AddElement(1, Picture());
  ASSERT_EQ(Play(bill), 0);
  const size_t a = c.elements[0].offset, b = c.elements[1].offset;
  const size_t alone = area.components[1].elements[0].offset;
  test::results = {{a, 2}, {b, -3}, {alone, 1}};
  for (int i = 0; i < 9; ++i) NotifyActtion();
  NotifySecond();
  NotifySecond();  // one step with the union of the bits
  RefreshBuffer();
  RefreshBuffer();
  ASSERT_EQ(test::rendercalls.size(), 2u);
  EXPECT_EQ(Rect(CallsOf(alone).at(0).rect), (std::vector<int>{2, 3, 20, 10}));
  EXPECT_EQ(CallsOf(alone).at(0).refresh, kRefreshAction | kRefreshSecond);
  ElementNode* ea = Components()->current;
  ea->timerstate = AddTickTimer(50, 1, &ea->flags);  // its own tick timer, running
  Second(2);
  ASSERT_EQ(test::StoreOffset(Components()->current), b);
  EXPECT_TRUE(CallsOf(a).back().release);  // and lost its pending timer
  EXPECT_TRUE(std::none_of(std::begin(ticktimers), std::end(ticktimers),
                           [&](const TimerSlot& t) { return t.target == &ea->flags; }));
  Tick(3);  // round to the first element again
  EXPECT_EQ(Components()->current, ea);
  EXPECT_TRUE(CallsOf(b).back().release);
  EXPECT_EQ(Components()->next->current->step, 3u);  // the lone one restarted each second, never released
}

std::vector<std::vector<int>> paints;  // painter and far corner of each call
template <int Id>
void CountingPainter(int32_t, int32_t, int32_t x1, int32_t y1, uintptr_t*) {
  paints.push_back({Id, x1, y1});
}
const BorderType kTestBorders[8] = {{}, {1, CountingPainter<2>}, {3, CountingPainter<3>}};

TEST_F(PlayerTest, PagesChangeReleasingTheOldAndStartingTheNew) {
  bordertable = kTestBorders;
  paints.clear();
  Bill bill;
  test::Component& c1 = bill.AddPage(2, 2).AddArea(0, 0, 64, 32).AddComponent(4, 4, 20, 10, 3);
  c1.AddElement(2, test::StringPayload(5, "one"));
  c1.AddElement(1, Picture());
  test::Page& crowded = bill.AddPage(2);  // cannot load: plays empty for its time
  for (int i = 0; i < 33; ++i) crowded.AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(1, Picture());
  const test::Element& e3 = bill.AddPage(3).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(
      2, test::StringPayload(6, "two"));
  ASSERT_EQ(Play(bill), 0);
  Second();
  ElementNode* shown = Components()->current;  // with a text image and a timer
  shown->curtxtimg = ArenaAlloc(64);
  shown->timerstate = AddTickTimer(40, 1, &shown->flags);
  void* image = shown->curtxtimg;
  std::memset(framebuffer.pixels, 0x55, 200 * framebuffer.curfbpitch);  // the change clears the sign alone, once
  Second(2);  // page 1's two seconds are over
  ASSERT_EQ(billstate.current, billstate.first->next);
  // Page 1 released its element, borders (painters called with no far corner), text image, timers and strings.
  EXPECT_TRUE(CallsOf(c1.elements[0].offset).back().release);
  EXPECT_EQ(paints, (std::vector<std::vector<int>>{{3, 0, 0}, {2, 0, 0}}));
  void* again = ArenaAlloc(64);
  EXPECT_EQ(again, image);
  ArenaFree(again);
  for (const TimerSlot& t : ticktimers) EXPECT_EQ(t.count, 0u);
  EXPECT_EQ(FindString(5, nullptr), 0u);
  EXPECT_EQ(framebuffer.pixels[31 * framebuffer.curfbpitch + 63], 0);
  EXPECT_EQ(framebuffer.pixels[10 * framebuffer.curfbpitch + 64], 0x55);
  const size_t calls = test::rendercalls.size();
  Second();
  EXPECT_EQ(test::rendercalls.size(), calls);
  Second();
  ASSERT_EQ(billstate.current, billstate.first->next->next);
  EXPECT_EQ(FindString(6, nullptr), 1u);
  EXPECT_EQ(EndPreview(), 0);  // which releases everything the page holds
  EXPECT_TRUE(CallsOf(e3.offset).back().release);
  EXPECT_EQ(FindString(6, nullptr), 0u);
  EXPECT_EQ(playerpools.elements->freecount + playerpools.pages->freecount, 256u + 16u);
}

TEST_F(PlayTest, ChainBordersRunAroundPageAndComponent) {
  Start(8, 5, 2);
  Bill bill;
  bill.AddPage(0, 2).AddArea(1, 1, 6, 3).AddComponent(0, 0, 6, 3, 2).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  Second();  // a second alone paints no border
  Tick(8);
  EXPECT_TRUE(HostDark(0, 0, 8, 5));
  Tick(1);  // the action interval is nine ticks
  // Both chains run clockwise from colours 1, 2, 3 at their top-left corners back onto their first pixel.
  EXPECT_TRUE(HostShows(0, 0, R"(
    22312312
    13231233
    32....11
    21321322
    13213213)"));
  EXPECT_EQ(Rect(test::rendercalls.back().rect), (std::vector<int>{2, 2, 4, 1}));  // inside both borders
  Tick(9);  // the next interval advances both chains by one colour
  EXPECT_TRUE(HostShows(0, 0, "11231231\n32123122"));
}

// Damaged colour words of a clock reach the host as colour values (a host indexing an eight-colour palette would
// read past it).
using HostBuffer = test::TextPlayTest;
TEST_F(HostBuffer, DamagedClockColoursArriveAsColourValuesAndEndPreviewClears) {
  Start(16, 16, 4);
  // Rows padded past the picture: EndPreview clears the picture row by row
  // and never writes the padding (one run of 16 x 16 bytes would do both wrong).
  constexpr int32_t kPitch = 19;
  std::vector<uint8_t> padded(kPitch * 16, 0xEE);
  ASSERT_EQ(SetBmpBuffer(16, 16, kPitch, padded.data()), 0);
  Bill bill;
  bill.AddPage().AddArea(0, 0, 16, 16).AddComponent(0, 0, 16, 16).AddElement(
      4, test::ClockPayload(20, 0x65636977, 0x74756F21, 0x100, 0xFFFFFFFE));
  ASSERT_EQ(Play(bill), 0);
  Second();
  EXPECT_GT(std::count(padded.begin(), padded.end(), 4), 0);  // the marks: 20 keeps its colour bits
  EXPECT_GT(std::count(padded.begin(), padded.end(), 7), 0);  // the minor marks: 0x77
  EXPECT_EQ(EndPreview(), 0);
  for (size_t i = 0; i < padded.size(); ++i) ASSERT_EQ(padded[i], i % kPitch < 16 ? 0 : 0xEE) << i;
}

}  // namespace
}  // namespace ledview
