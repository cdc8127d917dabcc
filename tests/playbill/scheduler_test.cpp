#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "content/strings.h"
#include "display/border.h"
#include "display/framebuffer.h"
#include "ledview.h"
#include "memory/arena.h"
#include "playbill/loader.h"
#include "playbill/player.h"
#include "playbill/scheduler.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::CallsOf;
using test::Component;
using test::RenderCall;
using test::renderscripts;

std::vector<uint8_t> Clock() { return test::ClockPayload(1, 1, 1, 1, 1); }
std::vector<uint8_t> Picture() { return test::BitmapPayload(8, 8, 1); }

TEST(TimerTest, TimersFireOnceAndFullTablesRefuse) {
  ClearTimers();
  uint32_t a = 0x100;
  uint32_t b = 0;
  EXPECT_EQ(AddTickTimer(3, 4, &a), 1);
  OnActionTick();
  OnActionTick();
  EXPECT_EQ(a, 0x100u);
  OnActionTick();
  EXPECT_EQ(a, 0x104u);
  EXPECT_EQ(pendingflags & 4, 4u);
  a = 0;
  for (int i = 0; i < 5; ++i) OnActionTick();
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(AddSecondTimer(1, 8, &b), 1);
  OnSecondTick();
  EXPECT_EQ(b, 8u);
  EXPECT_EQ(pendingflags & (kRefreshSecond | 8), kRefreshSecond | 8);

  ClearTimers();
  EXPECT_EQ(pendingflags, 0u);
  for (uint32_t i = 0; i < kTickTimers; ++i) ASSERT_EQ(AddTickTimer(10 + i, 1, i == 1 ? &b : &a), 1);
  EXPECT_EQ(AddTickTimer(5, 1, &a), 0);
  for (uint32_t i = 0; i < kSecondTimers; ++i) ASSERT_EQ(AddSecondTimer(10, 1, &a), 1);
  EXPECT_EQ(AddSecondTimer(5, 1, &a), 0);
  // A cancel frees the first slot of each table that aims at the target.
  CancelTimers(&b);
  EXPECT_EQ(ticktimers[1].target, nullptr);
  CancelTimers(&a);
  EXPECT_EQ(ticktimers[0].target, nullptr);
  EXPECT_EQ(ticktimers[2].target, &a);
  EXPECT_EQ(secondtimers[0].target, nullptr);
  EXPECT_EQ(secondtimers[1].target, &a);
  ClearTimers();
}

class SchedulerTest : public test::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    Start(64, 32, 4);
  }
  ComponentNode* FirstComponent() { return billstate.current->areas->components; }
};

TEST_F(SchedulerTest, StepsRunOnlyOnPendingBitsWithTheirUnion) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(2, 3, 20, 10).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  RefreshBuffer();
  Actions(8);  // the action interval is nine ticks
  RefreshBuffer();
  EXPECT_TRUE(test::rendercalls.empty());
  EXPECT_EQ(billstate.current, nullptr);
  Actions(1);
  Seconds(2);
  RefreshBuffer();
  RefreshBuffer();
  ASSERT_EQ(test::rendercalls.size(), 1u);
  const RenderCall& call = test::rendercalls[0];
  EXPECT_EQ(billstate.current, billstate.first);
  EXPECT_EQ(std::vector<int>({call.rect.x, call.rect.y, call.rect.width, call.rect.height}),
            std::vector<int>({2, 3, 20, 10}));
  EXPECT_EQ(call.flags, 1u);
  EXPECT_EQ(call.refresh, kRefreshAction | kRefreshSecond);
}

TEST_F(SchedulerTest, ASingleElementOnASinglePageStartsOverKeepingItsState) {
  Bill bill;
  bill.AddPage(2).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(1, Picture());
  ASSERT_EQ(Play(bill), 0);
  const size_t el = bill.pages[0].areas[0].components[0].elements[0].offset;
  renderscripts[el].result = 5;
  Second(5);
  ElementNode* e = FirstComponent()->current;
  EXPECT_EQ(e->step, 1u);
  EXPECT_EQ(FirstComponent()->flags, 0u);
  Seconds(1);  // the fifth second after the showing
  EXPECT_EQ(FirstComponent()->flags, 2u);
  billstate.flags |= kRefreshPage;  // even a raised page bit changes nothing
  RefreshBuffer();
  EXPECT_EQ(e->step, 2u);  // started again, not reset
  EXPECT_EQ(billstate.flags, 0u);
  for (const RenderCall& c : test::rendercalls) EXPECT_FALSE(c.release);
  EXPECT_EQ(test::rendercalls.back().flags, 1u);
}

TEST_F(SchedulerTest, ComponentsHandOverWithReleaseAndCancel) {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  c.AddElement(1, Picture());
  c.AddElement(1, Picture());
  ASSERT_EQ(Play(bill), 0);
  const size_t a = c.elements[0].offset;
  const size_t b = c.elements[1].offset;
  renderscripts[a] = {2, 50, false};  // finished after 2 s, with its own timer running
  renderscripts[b] = {-3, 0, false};  // finished after 3 ticks

  Second();
  ElementNode* ea = FirstComponent()->current;
  EXPECT_EQ(ea->timerstate, 1);
  AddTickTimer(70, 1, &ea->flags);  // a second timer on it stays armed
  Seconds(2);
  RefreshBuffer();
  ASSERT_EQ(test::StoreOffset(FirstComponent()->current), b);
  // The element left behind was released and lost its first pending timer.
  EXPECT_TRUE(CallsOf(a).back().release);
  EXPECT_EQ(ea->flags, 0u);
  int onA = 0;
  for (const TimerSlot& t : ticktimers) onA += t.target == &ea->flags;
  EXPECT_EQ(onA, 1);
  EXPECT_EQ(CallsOf(b).at(0).flags, 1u);

  // Three ticks later the component wraps round to the first element.
  Actions(3);
  RefreshBuffer();
  EXPECT_EQ(FirstComponent()->current, ea);
  EXPECT_TRUE(CallsOf(b).back().release);
  EXPECT_EQ(CallsOf(a).back().flags, 1u);
  EXPECT_FALSE(CallsOf(a).back().release);
}

struct PaintCall {
  int painter;
  int32_t x1, y1;
};
std::vector<PaintCall> paints;

template <int Id>
void CountingPainter(int32_t, int32_t, int32_t x1, int32_t y1, uintptr_t*) {
  paints.push_back({Id, x1, y1});
}
const BorderType kTestBorders[8] = {
    {4, CountingPainter<1>}, {1, CountingPainter<2>}, {3, CountingPainter<3>}, {1, CountingPainter<4>},
    {4, CountingPainter<5>}, {4, CountingPainter<6>}, {3, CountingPainter<7>}, {3, CountingPainter<8>}};

TEST_F(SchedulerTest, PagesChangeReleasingTheOldAndStartingTheNew) {
  bordertable = kTestBorders;
  paints.clear();
  Bill bill;
  Component& c1 = bill.AddPage(2, 2).AddArea(0, 0, 64, 32).AddComponent(4, 4, 20, 10, 3);
  c1.AddElement(2, test::StringPayload(5, "one"));
  c1.AddElement(1, Picture());
  Component& c2 = bill.AddPage(3).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  c2.AddElement(2, test::StringPayload(6, "two"));
  ASSERT_EQ(Play(bill), 0);
  const size_t e1 = c1.elements[0].offset;
  renderscripts[e1] = {0, 40, true};

  Second();
  ASSERT_EQ(billstate.current, billstate.first);
  EXPECT_EQ(billstate.painter, CountingPainter<2>);
  EXPECT_EQ(billstate.rect.x, 1);
  EXPECT_EQ(billstate.rect.width, 62);
  void* image = FirstComponent()->current->curtxtimg;
  ASSERT_NE(image, nullptr);
  std::memset(framebuffer.pixels, 0x55, 200 * framebuffer.curfbpitch);
  Second();
  EXPECT_EQ(billstate.current, billstate.first);
  Second();  // page 1's two seconds are over
  ASSERT_EQ(billstate.current, billstate.first->next);
  // Page 1: its current element released, its component and page borders
  // too (a painter called with no far corner).
  EXPECT_TRUE(CallsOf(e1).back().release);
  ASSERT_EQ(paints.size(), 2u);
  EXPECT_EQ(paints[0].painter, 3);
  EXPECT_EQ(paints[0].x1, 0);
  EXPECT_EQ(paints[1].painter, 2);
  EXPECT_EQ(paints[1].y1, 0);
  EXPECT_EQ(billstate.painter, nullptr);
  EXPECT_EQ(billstate.rect.width, 64);
  // Its text image went back to the arena: the next block of that size is it.
  void* again = ArenaAlloc(64);
  EXPECT_EQ(again, image);
  ArenaFree(again);
  for (const TimerSlot& t : ticktimers) EXPECT_EQ(t.count, 0u);
  EXPECT_EQ(FindString(5, nullptr), 0u);
  EXPECT_EQ(FindString(6, nullptr), 1u);
  // The sign was cleared once; outside it the framebuffer is left alone.
  EXPECT_EQ(framebuffer.pixels[31 * framebuffer.curfbpitch + 63], 0);
  EXPECT_EQ(framebuffer.pixels[10 * framebuffer.curfbpitch + 64], 0x55);
  EXPECT_EQ(framebuffer.pixels[32 * framebuffer.curfbpitch], 0x55);
  EXPECT_EQ(CallsOf(c2.elements[0].offset).at(0).flags, 1u);
  EXPECT_EQ(playerpools.components->freecount, 127u);

  // Three seconds on, back to page 1, loaded afresh.
  Second(3);
  ASSERT_EQ(billstate.current, billstate.first);
  EXPECT_EQ(FindString(5, nullptr), 1u);
  EXPECT_EQ(FindString(6, nullptr), 0u);
  EXPECT_EQ(FirstComponent()->current->timerstate, 1);  // armed its timer again

  // Ending the preview releases everything the page holds.
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_TRUE(CallsOf(e1).back().release);
  EXPECT_EQ(FindString(5, nullptr), 0u);
  for (const TimerSlot& t : ticktimers) EXPECT_EQ(t.count, 0u);
  EXPECT_EQ(playerpools.elements->freecount, 256u);
  EXPECT_EQ(playerpools.pages->freecount, 16u);
}

TEST_F(SchedulerTest, StaticAreasIgnoreResultsAndClearEverySecond) {
  bordertable = kTestBorders;
  paints.clear();
  Bill bill;
  Component& c = bill.AddPage().AddArea(8, 4, 16, 8, 1).AddComponent(0, 0, 16, 8, 1);
  c.AddElement(1, Picture());
  c.AddElement(1, Picture());
  ASSERT_EQ(Play(bill), 0);
  renderscripts[c.elements[0].offset].result = 1;
  uint8_t* inside = &framebuffer.pixels[5 * framebuffer.curfbpitch + 9];
  uint8_t* outside = &framebuffer.pixels[5 * framebuffer.curfbpitch + 30];
  *inside = *outside = 3;
  Actions(9);
  RefreshBuffer();  // action bit only: no clearing
  EXPECT_EQ(*inside, 3);
  for (int s = 0; s < 5; ++s) {
    Seconds(1);
    Actions(9);
    RefreshBuffer();
  }
  EXPECT_EQ(*inside, 0);
  EXPECT_EQ(*outside, 3);
  EXPECT_EQ(CallsOf(c.elements[0].offset).size(), 6u);  // drawn on every step
  EXPECT_TRUE(CallsOf(c.elements[1].offset).empty());
  EXPECT_TRUE(paints.empty());
  for (const TimerSlot& t : secondtimers) EXPECT_EQ(t.count, 0u);
}

TEST_F(SchedulerTest, LiveStringsRaiseAStepOnlyWhileAPageIsCurrent) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(
      2, test::StringPayload(7, "hello"));
  ASSERT_EQ(Play(bill), 0);
  EXPECT_EQ(UpdateString(7, "new", 3), 2);
  EXPECT_EQ(pendingflags, 0u);
  Second();
  EXPECT_EQ(UpdateString(7, "newer", 5), 3);
  EXPECT_EQ(pendingflags, kRefreshString);
  RefreshBuffer();
  EXPECT_EQ(test::rendercalls.back().refresh, kRefreshString);
}

TEST_F(SchedulerTest, APageThatCannotLoadPlaysEmptyForItsTime) {
  Bill bill;
  bill.AddPage(1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  test::Page& crowded = bill.AddPage(2);
  for (int i = 0; i < 33; ++i) crowded.AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(4, Clock());
  bill.AddPage(1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);  // only the first page is loaded now
  Second(2);
  ASSERT_EQ(billstate.current, billstate.first->next);
  EXPECT_EQ(loaderror, 6);
  EXPECT_EQ(billstate.current->areas, nullptr);
  const size_t before = test::rendercalls.size();
  Second();
  EXPECT_EQ(test::rendercalls.size(), before);
  Second();
  ASSERT_EQ(billstate.current, billstate.first->next->next);
  EXPECT_EQ(test::rendercalls.size(), before + 1);
}

}  // namespace
}  // namespace ledview
