#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "api/engine.h"
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
using test::PlayTest;
using test::RenderCall;
using test::renderscripts;

std::vector<uint8_t> Clock() { return test::ClockPayload(1, 1, 1, 1, 1); }
std::vector<uint8_t> Picture() { return test::BitmapPayload(8, 8, 1); }

class TimerTest : public testing::Test {
 protected:
  void SetUp() override { ClearTimers(); }
  void TearDown() override {
    ClearTimers();
    actioncounter = 0;
    actionlimit = 8;
  }
};

TEST_F(TimerTest, ATimerFiresOnceAfterItsCount) {
  uint32_t target = 0x100;
  EXPECT_EQ(AddTickTimer(3, 4, &target), 1);
  EXPECT_EQ(ticktimers[0].count, 3u);
  EXPECT_EQ(ticktimers[0].target, &target);
  OnActionTick();
  OnActionTick();
  EXPECT_EQ(target, 0x100u);
  EXPECT_EQ(ticktimers[0].elapsed, 2u);
  OnActionTick();
  EXPECT_EQ(target, 0x104u);
  EXPECT_EQ(pendingflags & 4, 4u);
  EXPECT_EQ(ticktimers[0].count, 0u);
  EXPECT_EQ(ticktimers[0].target, nullptr);
  target = 0;
  for (int i = 0; i < 5; ++i) OnActionTick();
  EXPECT_EQ(target, 0u);

  EXPECT_EQ(AddSecondTimer(1, 8, &target), 1);
  OnSecondTick();
  EXPECT_EQ(target, 8u);
  EXPECT_EQ(pendingflags & (kRefreshSecond | 8), kRefreshSecond | 8);
}

TEST_F(TimerTest, CountZeroArmsNothingAndFullTablesRefuse) {
  uint32_t target = 0;
  EXPECT_EQ(AddTickTimer(0, 1, &target), 1);
  EXPECT_EQ(ticktimers[0].count, 0u);
  for (uint32_t i = 0; i < kTickTimers; ++i) ASSERT_EQ(AddTickTimer(10 + i, 1, &target), 1);
  EXPECT_EQ(AddTickTimer(5, 1, &target), 0);
  EXPECT_EQ(AddTickTimer(0, 1, &target), 0);
  for (uint32_t i = 0; i < kSecondTimers; ++i) ASSERT_EQ(AddSecondTimer(10, 1, &target), 1);
  EXPECT_EQ(AddSecondTimer(5, 1, &target), 0);
  // Slots come free in table order: the shortest fires first and its slot
  // is the next one taken.
  for (int i = 0; i < 10; ++i) OnActionTick();
  EXPECT_EQ(ticktimers[0].count, 0u);
  EXPECT_EQ(AddTickTimer(99, 2, &target), 1);
  EXPECT_EQ(ticktimers[0].count, 99u);
}

TEST_F(TimerTest, CancelFreesTheFirstMatchingSlotOfEachTable) {
  uint32_t a = 0;
  uint32_t b = 0;
  AddTickTimer(5, 1, &b);
  AddTickTimer(5, 1, &a);
  AddTickTimer(6, 1, &a);
  AddSecondTimer(5, 1, &a);
  AddSecondTimer(6, 1, &a);
  CancelTimers(&a);
  EXPECT_EQ(ticktimers[0].target, &b);
  EXPECT_EQ(ticktimers[1].count, 0u);
  EXPECT_EQ(ticktimers[1].target, nullptr);
  EXPECT_EQ(ticktimers[2].target, &a);
  EXPECT_EQ(secondtimers[0].count, 0u);
  EXPECT_EQ(secondtimers[1].target, &a);

  ClearTimers();
  pendingflags = 0x123;
  ClearTimers();
  EXPECT_EQ(pendingflags, 0u);
  for (const TimerSlot& t : ticktimers) EXPECT_EQ(t.count, 0u);
  for (const TimerSlot& t : secondtimers) EXPECT_EQ(t.target, nullptr);
}

TEST_F(TimerTest, ActionIntervalIsTheLimitPlusOneTick) {
  actioncounter = 0;
  actionlimit = 8;  // tickdiv 0
  for (int interval = 0; interval < 3; ++interval) {
    for (int i = 0; i < 8; ++i) {
      OnActionTick();
      ASSERT_EQ(TakeRefreshFlags(), 0u) << interval << " " << i;
    }
    OnActionTick();
    EXPECT_EQ(TakeRefreshFlags(), kRefreshAction);
  }
  actionlimit = 2 * 8 + 8;  // tickdiv 2
  int calls = 0;
  do {
    OnActionTick();
    ++calls;
  } while (TakeRefreshFlags() == 0 && calls < 100);
  EXPECT_EQ(calls, 25);
}

class SchedulerTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    Start(64, 32, 4);
  }
  ComponentNode* FirstComponent() { return billstate.current->areas->components; }
};

TEST_F(SchedulerTest, TickDivisorSetsTheActionInterval) {
  ReleasePreview();
  ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  EXPECT_EQ(actionlimit, 8);
  // Nothing is counted outside play.
  const int32_t before = actioncounter;
  NotifyActtion();
  NotifySecond();
  EXPECT_EQ(actioncounter, before);
  EXPECT_EQ(pendingflags, 0u);
}

TEST_F(SchedulerTest, NothingIsDrawnUntilABitIsPending) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(2, 3, 20, 10).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  RefreshBuffer();
  EXPECT_TRUE(test::rendercalls.empty());
  EXPECT_EQ(billstate.current, nullptr);

  actioncounter = 0;
  Actions(8);
  RefreshBuffer();
  EXPECT_TRUE(test::rendercalls.empty());
  Actions(1);
  RefreshBuffer();
  ASSERT_EQ(test::rendercalls.size(), 1u);
  const RenderCall& call = test::rendercalls[0];
  EXPECT_EQ(billstate.current, billstate.first);
  EXPECT_FALSE(call.release);
  EXPECT_EQ(call.rect.x, 2);
  EXPECT_EQ(call.rect.y, 3);
  EXPECT_EQ(call.rect.width, 20);
  EXPECT_EQ(call.rect.height, 10);
  EXPECT_EQ(call.flags, 1u);
  EXPECT_EQ(call.refresh, kRefreshAction);
}

TEST_F(SchedulerTest, TicksBetweenRefreshesMakeOneStepWithTheirUnion) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  actioncounter = 0;
  Actions(20);
  Seconds(2);
  RefreshBuffer();
  ASSERT_EQ(test::rendercalls.size(), 1u);
  EXPECT_EQ(test::rendercalls[0].refresh, kRefreshAction | kRefreshSecond);
  RefreshBuffer();
  EXPECT_EQ(test::rendercalls.size(), 1u);
}

TEST_F(SchedulerTest, ASingleElementStartsOverKeepingItsState) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(1, Picture());
  ASSERT_EQ(Play(bill), 0);
  const size_t el = bill.pages[0].areas[0].components[0].elements[0].offset;
  renderscripts[el].result = 5;
  Second();
  ElementNode* e = FirstComponent()->current;
  EXPECT_EQ(e->step, 1u);
  Second(4);
  EXPECT_EQ(FirstComponent()->flags, 0u);
  Seconds(1);  // the fifth second after the showing
  EXPECT_EQ(FirstComponent()->flags, 2u);
  RefreshBuffer();
  EXPECT_EQ(e->step, 2u);  // started again, not reset
  const std::vector<RenderCall> calls = CallsOf(el);
  for (const RenderCall& c : calls) EXPECT_FALSE(c.release);
  EXPECT_EQ(calls.back().flags, 1u);
}

TEST_F(SchedulerTest, ARendererReturningZeroKeepsItsComponentForever) {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  c.AddElement(1, Picture());
  c.AddElement(1, Picture());
  ASSERT_EQ(Play(bill), 0);
  Second(30);
  EXPECT_EQ(CallsOf(c.elements[0].offset).size(), 30u);
  EXPECT_TRUE(CallsOf(c.elements[1].offset).empty());
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
  ElementNode* eb = FirstComponent()->current;
  ASSERT_NE(eb, ea);
  EXPECT_EQ(test::StoreOffset(eb), b);
  // The element left behind was released and lost its first pending timer.
  const std::vector<RenderCall> acalls = CallsOf(a);
  EXPECT_TRUE(acalls.back().release);
  EXPECT_EQ(ea->flags, 0u);
  int onA = 0;
  for (const TimerSlot& t : ticktimers) onA += t.target == &ea->flags;
  EXPECT_EQ(onA, 1);
  ASSERT_FALSE(CallsOf(b).empty());
  EXPECT_EQ(CallsOf(b)[0].flags, 1u);

  // Three ticks later the component wraps round to the first element.
  Actions(3);
  RefreshBuffer();
  EXPECT_EQ(FirstComponent()->current, ea);
  EXPECT_TRUE(CallsOf(b).back().release);
  EXPECT_EQ(CallsOf(a).back().flags, 1u);
  EXPECT_FALSE(CallsOf(a).back().release);
}

TEST_F(SchedulerTest, ASinglePagePlaysOnWithoutPageChanges) {
  Bill bill;
  bill.AddPage(2).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  Second(10);
  for (const RenderCall& c : test::rendercalls) EXPECT_FALSE(c.release);
  for (const TimerSlot& t : secondtimers) EXPECT_EQ(t.count, 0u);
  // Even a raised page bit changes nothing on a single page.
  billstate.flags |= kRefreshPage;
  Second();
  EXPECT_EQ(billstate.current, billstate.first);
  EXPECT_EQ(billstate.flags, 0u);
  for (const RenderCall& c : test::rendercalls) EXPECT_FALSE(c.release);
}

struct PaintCall {
  int painter;
  int32_t x0, y0, x1, y1;
  uintptr_t phase;
};
std::vector<PaintCall> paints;

template <int Id>
void CountingPainter(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uintptr_t* phase) {
  paints.push_back({Id, x0, y0, x1, y1, *phase});
  if (x1 == 0 && y1 == 0) {
    *phase = 0;
  } else {
    ++*phase;
  }
}

const BorderType kTestBorders[8] = {{4, CountingPainter<1>}, {1, CountingPainter<2>},
                                     {3, CountingPainter<3>}, {1, CountingPainter<4>},
                                     {4, CountingPainter<5>}, {4, CountingPainter<6>},
                                     {3, CountingPainter<7>}, {3, CountingPainter<8>}};

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
  // The page border: its painter and a rectangle inset by its width.
  EXPECT_EQ(billstate.painter, CountingPainter<2>);
  EXPECT_EQ(billstate.rect.x, 1);
  EXPECT_EQ(billstate.rect.width, 62);
  EXPECT_TRUE(paints.empty());  // no action bit yet
  void* image = FirstComponent()->current->curtxtimg;
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FindString(5, nullptr), 1u);

  std::memset(framebuffer.pixels, 0x55, 200 * framebuffer.curfbpitch);
  Second();
  EXPECT_EQ(billstate.current, billstate.first);
  Seconds(1);  // page 1's two seconds are over
  RefreshBuffer();
  ASSERT_EQ(billstate.current, billstate.first->next);
  // Page 1: its current element released, its component and page borders too.
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
  // Timers and strings of page 1 are gone; page 2 registered its own.
  for (const TimerSlot& t : ticktimers) EXPECT_EQ(t.count, 0u);
  EXPECT_EQ(FindString(5, nullptr), 0u);
  EXPECT_EQ(FindString(6, nullptr), 1u);
  // The sign was cleared once; outside it the framebuffer is left alone.
  EXPECT_EQ(framebuffer.pixels[10 * framebuffer.curfbpitch + 10], 0);
  EXPECT_EQ(framebuffer.pixels[10 * framebuffer.curfbpitch + 64], 0x55);
  EXPECT_EQ(framebuffer.pixels[32 * framebuffer.curfbpitch], 0x55);
  // The new page's element starts from scratch.
  ElementNode* e2 = FirstComponent()->current;
  EXPECT_EQ(test::StoreOffset(e2), c2.elements[0].offset);
  EXPECT_EQ(CallsOf(c2.elements[0].offset)[0].flags, 1u);
  EXPECT_EQ(playerpools.components->freecount, 127u);

  // Three seconds on, back to page 1, loaded afresh.
  Seconds(3);
  RefreshBuffer();
  ASSERT_EQ(billstate.current, billstate.first);
  EXPECT_EQ(FindString(5, nullptr), 1u);
  EXPECT_EQ(FindString(6, nullptr), 0u);
  EXPECT_EQ(FirstComponent()->current->timerstate, 1);  // armed its timer again
  EXPECT_EQ(billstate.painter, CountingPainter<2>);
}

TEST_F(SchedulerTest, BordersAnimateOnTheActionBitOnly) {
  bordertable = kTestBorders;
  paints.clear();
  Bill bill;
  bill.AddPage(0, 4).AddArea(10, 5, 40, 20).AddComponent(2, 1, 30, 12, 8).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  Second();
  EXPECT_TRUE(paints.empty());
  actioncounter = 0;
  Actions(9);
  RefreshBuffer();
  ASSERT_EQ(paints.size(), 2u);
  // Components first, the page border last.
  EXPECT_EQ(paints[0].painter, 8);
  EXPECT_EQ(paints[0].x0, 12);
  EXPECT_EQ(paints[0].y0, 6);
  EXPECT_EQ(paints[0].x1, 42);
  EXPECT_EQ(paints[0].y1, 18);
  EXPECT_EQ(paints[1].painter, 4);
  EXPECT_EQ(paints[1].x1, 64);
  EXPECT_EQ(paints[1].y1, 32);
  Actions(9);
  RefreshBuffer();
  EXPECT_EQ(paints[2].phase, 1u);
  EXPECT_EQ(FirstComponent()->phase, 2u);
  EXPECT_EQ(billstate.phase, 2u);
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
  framebuffer.pixels[5 * framebuffer.curfbpitch + 9] = 3;
  framebuffer.pixels[5 * framebuffer.curfbpitch + 30] = 3;
  actioncounter = 0;
  Actions(9);
  RefreshBuffer();  // action bit only: no clearing
  EXPECT_EQ(framebuffer.pixels[5 * framebuffer.curfbpitch + 9], 3);
  for (int s = 0; s < 5; ++s) {
    Seconds(1);
    Actions(9);
    RefreshBuffer();
  }
  EXPECT_EQ(framebuffer.pixels[5 * framebuffer.curfbpitch + 9], 0);
  EXPECT_EQ(framebuffer.pixels[5 * framebuffer.curfbpitch + 30], 3);
  EXPECT_TRUE(CallsOf(c.elements[1].offset).empty());
  EXPECT_TRUE(paints.empty());
  for (const TimerSlot& t : secondtimers) EXPECT_EQ(t.count, 0u);
  EXPECT_EQ(CallsOf(c.elements[0].offset).size(), 6u);  // drawn on every step
  EXPECT_EQ(FirstComponent()->first->render, test::StaticRecordingRenderer);
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
  EXPECT_EQ(UpdateString(9, "other", 5), 1);
  EXPECT_EQ(UpdateString(-1, "x", 1), -1);
  EXPECT_EQ(UpdateString(9, nullptr, 1), -1);
  EXPECT_EQ(UpdateString(9, "x", 0), -1);
}

TEST_F(SchedulerTest, APageThatCannotLoadPlaysEmptyForItsTime) {
  Bill bill;
  bill.AddPage(1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  test::Page& crowded = bill.AddPage(2);
  for (int i = 0; i < 33; ++i) crowded.AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(4, Clock());
  bill.AddPage(1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);  // only the first page is loaded now
  Second();
  Second();
  ASSERT_EQ(billstate.current, billstate.first->next);
  EXPECT_EQ(loaderror, 6);
  EXPECT_EQ(billstate.current->areas, nullptr);
  const size_t before = test::rendercalls.size();
  Second();
  EXPECT_EQ(test::rendercalls.size(), before);
  Second();
  ASSERT_EQ(billstate.current, billstate.first->next->next);
  EXPECT_NE(billstate.current->areas, nullptr);
  EXPECT_EQ(test::rendercalls.size(), before + 1);
}

TEST_F(SchedulerTest, EndPreviewStopsPlayAndReturnsToReady) {
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  c.AddElement(2, test::StringPayload(5, "one"));
  ASSERT_EQ(Play(bill), 0);
  renderscripts[c.elements[0].offset] = {0, 30, true};
  Second();
  std::fill(output.begin(), output.end(), 0x77);
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_TRUE(CallsOf(c.elements[0].offset).back().release);
  EXPECT_EQ(status.enginestate, kStateReady);
  EXPECT_EQ(status.buffer, nullptr);
  EXPECT_EQ(billstate.first, nullptr);
  EXPECT_EQ(FindString(5, nullptr), 0u);
  for (const TimerSlot& t : ticktimers) EXPECT_EQ(t.count, 0u);
  EXPECT_EQ(playerpools.elements->freecount, 256u);
  EXPECT_EQ(playerpools.pages->freecount, 16u);
  for (uint8_t b : output) ASSERT_EQ(b, 0);
  for (size_t i = 0; i < 1000; ++i) ASSERT_EQ(playbillstore[i], 0);

  // Playing again is allowed at once; nothing is copied without a buffer.
  std::fill(output.begin(), output.end(), 0x77);
  ASSERT_EQ(Play(bill), 0);
  framebuffer.pixels[0] = 5;
  Second();
  EXPECT_EQ(output[0], 0x77);
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(EndPreview(), 0);
  EXPECT_EQ(status.enginestate, kStateReady);
}

TEST_F(SchedulerTest, ReleasePreviewFromEveryState) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(
      2, test::StringPayload(5, "one"));
  ASSERT_EQ(Play(bill), 0);
  Second();
  EXPECT_EQ(ReleasePreview(), 0);  // from playing
  EXPECT_EQ(status.enginestate, kStateNone);
  EXPECT_TRUE(test::rendercalls.back().release);
  EXPECT_EQ(billstate.first, nullptr);

  ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  EXPECT_EQ(ReleasePreview(), 0);  // from configured: the player is released
  EXPECT_EQ(playerpools.pages, nullptr);
  EXPECT_EQ(loaderror, 0);
  EXPECT_EQ(linkflag, 0);

  Start(64, 32, 4);
  EXPECT_EQ(ReleasePreview(), 0);  // from ready
  EXPECT_EQ(ReleasePreview(), 0);  // from nothing
  EXPECT_EQ(status.enginestate, kStateNone);
  // Everything works again afterwards.
  Start(64, 32, 4);
  EXPECT_EQ(Play(bill), 0);
}

TEST_F(SchedulerTest, CallsInTheWrongStateAreRefused) {
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  const std::vector<uint8_t> bytes = bill.Bytes();
  EXPECT_EQ(UpdateString(1, "x", 1), -1);
  ASSERT_EQ(Play(bill), 0);
  EXPECT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), -4);
  EXPECT_EQ(SetBmpBuffer(64, 32, 64, output.data()), -4);
  EndPreview();
  EXPECT_EQ(SetPlayBill(bytes.data(), 3145729), -1);
  std::vector<uint8_t> bad = bytes;
  bad[3] = 0;  // not a bill
  EXPECT_EQ(SetPlayBill(bad.data(), static_cast<int32_t>(bad.size())), -2);
  ReleasePreview();
  ASSERT_EQ(InitLedConfigure(64, 32, 4), 0);
  EXPECT_EQ(SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size())), -4);
}

}  // namespace
}  // namespace ledview
