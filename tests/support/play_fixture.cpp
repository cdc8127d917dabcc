#include "support/play_fixture.h"

#include <algorithm>

#include "api/engine.h"
#include "display/border.h"
#include "ledview.h"
#include "memory/arena.h"
#include "platform/platform.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"

namespace ledview::test {

std::vector<RenderCall> rendercalls;
std::map<size_t, RenderScript> renderscripts;

size_t StoreOffset(const ElementNode* element) {
  return static_cast<size_t>(element->header - playbillstore);
}

std::vector<RenderCall> CallsOf(size_t element) {
  std::vector<RenderCall> out;
  for (const RenderCall& c : rendercalls) {
    if (c.element == element) out.push_back(c);
  }
  return out;
}

int32_t RecordingRenderer(ElementNode* e, DestRect* rect) {
  const size_t at = StoreOffset(e);
  rendercalls.push_back({at, rect == nullptr, rect ? *rect : DestRect{}, e->flags, refreshflags});
  if (rect == nullptr) {
    e->step = 0;
    e->timerstate = -1;
    return 0;
  }
  if (!(e->flags & 1)) return 0;
  e->flags = 0;
  ++e->step;
  const RenderScript script = renderscripts[at];
  if (script.allocimage && e->curtxtimg == nullptr) e->curtxtimg = ArenaAlloc(64);
  if (script.selftick != 0) e->timerstate = AddTickTimer(script.selftick, 1, &e->flags);
  return script.result;
}

int32_t StaticRecordingRenderer(ElementNode* e, DestRect* rect) { return RecordingRenderer(e, rect); }

namespace {
// The engine's own renderers, put back after every test.
ElementRenderer enginenormal[kElemTypeSlots];
ElementRenderer enginestatic[kElemTypeSlots];
}  // namespace

void PlayTest::SetUp() {
  EngineTest::SetUp();
  std::copy(normalrenderers, normalrenderers + kElemTypeSlots, enginenormal);
  std::copy(staticrenderers, staticrenderers + kElemTypeSlots, enginestatic);
  rendercalls.clear();
  renderscripts.clear();
  for (uint32_t t = 1; t < kElemTypeSlots; ++t) normalrenderers[t] = RecordingRenderer;
  staticrenderers[1] = StaticRecordingRenderer;
  staticrenderers[2] = StaticRecordingRenderer;
}

void PlayTest::TearDown() {
  ReleasePreview();
  std::copy(enginenormal, enginenormal + kElemTypeSlots, normalrenderers);
  std::copy(enginestatic, enginestatic + kElemTypeSlots, staticrenderers);
  bordertable = nullptr;
  ClockUseReal();
  EngineTest::TearDown();
}

void PlayTest::Start(int32_t width, int32_t height, int32_t colourmode) {
  ASSERT_EQ(InitLedConfigure(width, height, colourmode), 0);
  ASSERT_EQ(SetFontPathname(LEDVIEW_TEST_FONT), 0);
  output.assign(static_cast<size_t>(width) * height, 0);
  ASSERT_EQ(SetBmpBuffer(width, height, width, output.data()), 0);
}

int32_t PlayTest::Play(const Bill& bill) {
  const std::vector<uint8_t> bytes = bill.Bytes();
  testing::internal::CaptureStdout();
  const int32_t result = SetPlayBill(bytes.data(), static_cast<int32_t>(bytes.size()));
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed, "") << "validation complained";
  return result;
}

void PlayTest::Actions(int n) {
  for (int i = 0; i < n; ++i) NotifyActtion();
}

void PlayTest::Seconds(int n) {
  for (int i = 0; i < n; ++i) NotifySecond();
}

}  // namespace ledview::test
