#include "support/play_fixture.h"

#include <algorithm>
#include <iterator>

#include "api/engine.h"
#include "display/border.h"
#include "ledview.h"
#include "memory/arena.h"
#include "playbill/scheduler.h"

namespace ledview::test {

std::vector<RenderCall> rendercalls;
std::map<size_t, RenderScript> renderscripts;

size_t StoreOffset(const ElementNode* element) { return static_cast<size_t>(element->header - playbillstore); }

std::vector<RenderCall> CallsOf(size_t element) {
  std::vector<RenderCall> out;
  std::copy_if(rendercalls.begin(), rendercalls.end(), std::back_inserter(out),
               [&](const RenderCall& c) { return c.element == element; });
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

void PlayTest::SetUp() {
  TextPlayTest::SetUp();
  std::copy(std::begin(normalrenderers), std::end(normalrenderers), std::begin(savednormal_));
  std::copy(std::begin(staticrenderers), std::end(staticrenderers), std::begin(savedstatic_));
  rendercalls.clear();
  renderscripts.clear();
  for (uint32_t t = 1; t < kElemTypeSlots; ++t) normalrenderers[t] = RecordingRenderer;
  staticrenderers[1] = staticrenderers[2] = RecordingRenderer;
}

void PlayTest::TearDown() {
  ReleasePreview();
  std::copy(std::begin(savednormal_), std::end(savednormal_), std::begin(normalrenderers));
  std::copy(std::begin(savedstatic_), std::end(savedstatic_), std::begin(staticrenderers));
  bordertable = nullptr;
  TextPlayTest::TearDown();
}

void PlayTest::Actions(int n) { while (n-- > 0) NotifyActtion(); }
void PlayTest::Seconds(int n) { while (n-- > 0) NotifySecond(); }

}  // namespace ledview::test
