#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "api/engine.h"
#include "content/strings.h"
#include "display/border.h"
#include "ledview.h"
#include "platform/platform.h"
#include "playbill/format.h"
#include "playbill/loader.h"
#include "playbill/player.h"
#include "playbill/random.h"
#include "support/play_fixture.h"

namespace ledview {
namespace {

using test::Bill;
using test::Component;

std::vector<uint8_t> Clock() { return test::ClockPayload(1, 1, 1, 1, 1); }

class LoaderTest : public test::PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    Start(64, 32, 4);  // a 4096 x 128 framebuffer
  }
  ComponentNode* FirstComponent() { return billstate.first->areas->components; }
  // Copies the bill into the store as the loader sees it, unvalidated.
  std::vector<uint8_t> Store(const Bill& bill) {
    std::vector<uint8_t> bytes = bill.Bytes();
    std::memcpy(playbillstore, bytes.data(), bytes.size());
    return bytes;
  }
};

TEST_F(LoaderTest, OnlyTheFirstPageLoadsAndASinglePageHasNoPlayTime) {
  Bill bill;
  bill.AddPage(5).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  bill.AddPage(7).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  EXPECT_NE(billstate.first->areas, nullptr);
  EXPECT_EQ(billstate.first->next->areas, nullptr);  // loaded when it plays
  EXPECT_EQ(ReadI32(playbillstore + 12 + 8), 5);
  Stop();
  bill.pages.pop_back();
  ASSERT_EQ(Play(bill), 0);
  EXPECT_EQ(ReadI32(playbillstore + 12 + 8), 0);
}

TEST_F(LoaderTest, PoolOverflowFailsTheLoadAndGivesEverythingBack) {
  Bill pages;
  for (int i = 0; i < 17; ++i) {
    pages.AddPage(1).AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(
        2, test::StringPayload(9, "page"));
  }
  Bill areas;
  test::Page& pa = areas.AddPage();
  for (int i = 0; i < 33; ++i) pa.AddArea(0, 0, 8, 8).AddComponent(0, 0, 8, 8).AddElement(4, Clock());
  Bill components;
  test::Area& ca = components.AddPage().AddArea(0, 0, 64, 32);
  for (int i = 0; i < 129; ++i) ca.AddComponent(0, 0, 8, 8).AddElement(4, Clock());
  Bill elements;
  Component& ec = elements.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 8, 8);
  for (int i = 0; i < 257; ++i) ec.AddElement(4, Clock());

  const struct {
    Bill* bill;
    int32_t error;
  } cases[] = {{&pages, 3}, {&areas, 6}, {&components, 12}, {&elements, 14}};
  for (const auto& c : cases) {
    EXPECT_EQ(Play(*c.bill), -1);
    EXPECT_EQ(loaderror, c.error);
    EXPECT_EQ(status.enginestate, kStateReady);
    EXPECT_TRUE(std::all_of(playbillstore, playbillstore + kPlayBillStoreBytes,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(playerpools.pages->freecount, 16u);
    EXPECT_EQ(playerpools.areas->freecount, 32u);
    EXPECT_EQ(playerpools.components->freecount, 128u);
    EXPECT_EQ(playerpools.elements->freecount, 256u);
    EXPECT_EQ(FindString(9, nullptr), 0u);  // the failed load's string is gone
  }
  // Exactly the capacities load, after any number of failures.
  pages.pages.pop_back();
  EXPECT_EQ(Play(pages), 0);
  Stop();
  ec.elements.pop_back();
  EXPECT_EQ(Play(elements), 0);
  EXPECT_EQ(playerpools.elements->freecount, 0u);
}

TEST_F(LoaderTest, ComponentsAreClippedToTheirAreaAndTheFramebuffer) {
  Bill bill;
  test::Area& a = bill.AddPage().AddArea(100, 20, 50, 30);
  a.AddComponent(10, 5, 60, 100).AddElement(4, Clock());
  a.AddComponent(50, 30, 10, 10).AddElement(4, Clock());  // at the area's far corner
  ASSERT_EQ(Play(bill), 0);
  const ComponentNode* c = FirstComponent();
  const auto rect = [](const DestRect& r) { return std::vector<int>{r.x, r.y, r.width, r.height}; };
  EXPECT_EQ(rect(c->outer), (std::vector<int>{110, 25, 40, 25}));
  EXPECT_EQ(rect(c->inner), rect(c->outer));
  EXPECT_EQ(rect(c->next->outer), (std::vector<int>{150, 50, 0, 0}));
  Stop();

  // Areas that validation would refuse, handed to the loader directly: no
  // sum wraps into a rectangle outside the framebuffer.
  Bill edge;
  test::Area& e = edge.AddPage().AddArea(4090, 120, 50, 50);
  e.AddComponent(0, 0, 0xFFFF, 0xFFFF).AddElement(4, Clock());
  e.AddComponent(40, 45, 20, 20).AddElement(4, Clock());
  Store(edge);
  loaderror = 0;
  AreaNode* area = LoadAreas(playbillstore + 28, static_cast<int32_t>(ReadI32(playbillstore + 24)));
  ASSERT_EQ(loaderror, 0);
  EXPECT_EQ(rect(area->components->outer), (std::vector<int>{4090, 120, 6, 8}));
  EXPECT_EQ(rect(area->components->next->outer), (std::vector<int>{4095, 127, 1, 1}));
}

TEST_F(LoaderTest, ObjectsOutsideTheirBoundsFailTheLoadCleanly) {
  Bill bill;  // validation lets a zero-wide area at the edge through
  bill.AddPage().AddArea(4096, 0, 0, 32).AddComponent(0, 0, 0, 0).AddElement(4, Clock());
  EXPECT_EQ(Play(bill), -1);
  EXPECT_EQ(loaderror, 4);

  // A first component past its area's width, after an earlier area
  // registered a live string.
  Bill late;
  test::Page& page = late.AddPage();
  page.AddArea(0, 0, 32, 8).AddComponent(0, 0, 32, 8).AddElement(2, test::StringPayload(7, "live"));
  page.AddArea(0, 8, 8, 8).AddComponent(9, 0, 4, 4).AddElement(4, Clock());
  std::vector<uint8_t> bytes = Store(late);
  EXPECT_EQ(LoadBill(playbillstore), -1);
  EXPECT_EQ(loaderror, 10);
  EXPECT_EQ(billstate.first, nullptr);
  EXPECT_EQ(FindString(7, nullptr), 0u);
  // Pages that declare no bytes, or more than the store holds.
  for (const int32_t pagesize : {0, -5, static_cast<int32_t>(kPlayBillMaxBytes)}) {
    test::PutU32(bytes, 8, static_cast<uint32_t>(pagesize));
    std::memcpy(playbillstore, bytes.data(), bytes.size());
    EXPECT_EQ(LoadBill(playbillstore), -1) << pagesize;
    EXPECT_EQ(loaderror, 1) << pagesize;
    EXPECT_EQ(billstate.bill, nullptr) << pagesize;
  }
  std::memset(playbillstore, 0, bytes.size());
}

TEST_F(LoaderTest, BordersNeverLeaveTheOuterRectangle) {
  Bill bill;  // the chain border of type 1 is one LED wide, 3 is three
  test::Area& a = bill.AddPage().AddArea(0, 0, 64, 32);
  a.AddComponent(0, 0, 40, 20, 3).AddElement(4, Clock());
  a.AddComponent(0, 0, 7, 3, 1).AddElement(4, Clock());  // smaller than its border
  ASSERT_EQ(Play(bill), 0);
  const ComponentNode* c = FirstComponent();
  EXPECT_EQ(c->painter, bordertable[2].painter);
  EXPECT_EQ(c->inner.x, 3);
  EXPECT_EQ(c->inner.width, 34);
  EXPECT_EQ(c->inner.height, 14);
  EXPECT_EQ(c->next->inner.width, 0);
  EXPECT_EQ(c->next->inner.x, 3);  // inside the 7 x 3 outer rectangle
  EXPECT_EQ(c->next->inner.y, 1);
  for (uint16_t w = 0; w < 12; ++w) {
    for (uint32_t b = 0; b <= 4; ++b) {
      const DestRect inner = InsetRect(DestRect{4090, 120, w, w}, b);
      EXPECT_GE(inner.x, 4090);
      EXPECT_LE(inner.x + inner.width, 4090 + w) << w << " " << b;
      EXPECT_EQ(inner.width, w > 2 * b ? w - 2 * b : 0);
    }
  }
}

// Random effects are written back into the store and drawn from the orders
// shuffled for the second the playbill starts in.
TEST_F(LoaderTest, EffectsAndRenderersAreChosenAtLoad) {
  RandomSeed(1);
  EXPECT_EQ(RandomNext(), 269167349u);
  EXPECT_EQ(RandomNext(), 1169529124u);
  Bill bill;
  Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
  c.AddElement(1, test::BitmapPayload(8, 8, 1)).entryeffect = 200;
  c.elements[0].exiteffect = 12;
  c.AddElement(1, test::BitmapPayload(8, 8, 1)).entryeffect = 52;
  c.AddElement(7, test::StripBytes(1, 8, 8, 1, 1)).entryeffect = 46;
  c.AddElement(7, test::StripBytes(1, 8, 8, 1, 1)).entryeffect = 45;
  c.AddElement(2, test::StringPayload(0, "x")).exiteffect = 9;
  c.AddElement(2, test::StringPayload(7, "first"));
  c.AddElement(2, test::StringPayload(7, "second"));
  test::Component& still = bill.pages[0].AddArea(0, 0, 64, 32, 1).AddComponent(0, 0, 64, 32);
  still.AddElement(1, test::BitmapPayload(8, 8, 1)).entryeffect = 200;
  still.AddElement(2, test::StringPayload(0, "x"));
  still.AddElement(7, test::StripBytes(1, 8, 8, 1, 1));
  ClockSimulate(20240101);
  ASSERT_EQ(Play(bill), 0);
  EXPECT_EQ(std::vector<uint32_t>(entryorder, entryorder + kEntryOrderCount),
            (std::vector<uint32_t>{28, 1,  37, 23, 22, 32, 16, 24, 20, 19, 2,  14, 12, 15, 31,
                                   34, 39, 43, 33, 11, 13, 26, 6,  9,  4,  8,  0,  44, 18, 25,
                                   42, 38, 29, 7,  40, 5,  36, 10, 3,  41, 21, 27, 30, 35, 17}));
  EXPECT_EQ(std::vector<uint32_t>(exitorder, exitorder + kExitOrderCount),
            (std::vector<uint32_t>{1, 6, 7, 5, 4, 0, 8, 2, 3}));
  std::vector<ElementNode*> e;
  for (ElementNode* n = FirstComponent()->first; n != nullptr; n = n->next) e.push_back(n);
  ASSERT_EQ(e.size(), 7u);
  auto entry = [&](int i) { return ReadU16(e[i]->header + 10); };
  auto exit = [&](int i) { return ReadU32(e[i]->header + 16); };
  EXPECT_EQ(entry(0), 53);
  EXPECT_EQ(e[0]->entryIndex, 37u);
  EXPECT_EQ(exit(0), 10u);
  EXPECT_EQ(e[0]->exitIndex, 1u);
  EXPECT_EQ(e[1]->entryIndex, 52u);
  EXPECT_EQ(entry(2), 53);  // paged pictures have no slots 46..52
  EXPECT_EQ(e[3]->entryIndex, 45u);
  EXPECT_EQ(exit(4), 9u);
  EXPECT_EQ(e[4]->exitIndex, 0u);
  EXPECT_EQ(e[5]->strversion, 1u);
  EXPECT_EQ(e[6]->strversion, 2u);
  const char* text = nullptr;
  EXPECT_EQ(FindString(7, &text), 2u);
  EXPECT_STREQ(text, "second");
  // Static areas draw pictures and strings with their own renderers and
  // choose no effect.
  const ElementNode* s = billstate.first->areas->next->components->first;
  EXPECT_EQ(s->render, test::StaticRecordingRenderer);
  EXPECT_EQ(ReadU16(s->header + 10), 200);
  EXPECT_EQ(s->next->render, test::StaticRecordingRenderer);
  EXPECT_EQ(s->next->next->render, test::RecordingRenderer);
}

TEST_F(LoaderTest, ClockColoursFollowTheColourModeAndEmptySlotsDrawNothing) {
  for (const int32_t m : {1, 2, 4}) {
    ReleasePreview();
    Start(64, 32, m);
    Bill bill;
    bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(
        4, test::ClockPayload(4, 6, 7, 0, 2));
    ASSERT_EQ(Play(bill), 0);
    const uint8_t* p = FirstComponent()->first->payload;
    std::vector<uint32_t> got;
    for (int i = 1; i <= 5; ++i) got.push_back(ReadU32(p + 4 * i));
    const std::vector<uint32_t> want = m == 1   ? std::vector<uint32_t>{1, 1, 1, 1, 1}
                                       : m == 2 ? std::vector<uint32_t>{1, 2, 3, 1, 2}
                                                : std::vector<uint32_t>{4, 6, 7, 0, 2};
    EXPECT_EQ(got, want);
  }
  ReleasePreview();
  normalrenderers[4] = nullptr;
  Start(64, 32, 4);
  Bill bill;
  bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32).AddElement(4, Clock());
  ASSERT_EQ(Play(bill), 0);
  Tick(9);  // the step skips it
  EXPECT_TRUE(test::rendercalls.empty());
}

TEST(IntToTextTest, DigitsSignsAndRadixes) {
  int32_t n = -1;
  EXPECT_STREQ(IntToText(-255, 16, &n), "-FF");
  EXPECT_EQ(n, 3);
  EXPECT_STREQ(IntToText(INT_MIN, 10, &n), "-2147483648");
  EXPECT_STREQ(IntToText(INT_MIN, 2, &n), "-10000000000000000000000000000000");
  EXPECT_EQ(n, 33);
  EXPECT_STREQ(IntToText(42, 0, &n), "42");  // decimal rather than a division by 0
}

}  // namespace
}  // namespace ledview
