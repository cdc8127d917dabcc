// A ready engine with recording renderers in the slots, the engine's own put back afterwards.
#pragma once
#include <algorithm>
#include <iterator>
#include <map>
#include <vector>

#include "api/engine.h"
#include "display/border.h"
#include "playbill/loader.h"
#include "playbill/scheduler.h"
#include "support/text_play.h"

namespace ledview::test {

struct RenderCall {
  size_t element;  // offset of the element's header in the store
  bool release;
  DestRect rect;
  uint32_t flags, refresh;  // the element's flags and the step's refreshflags
};

inline std::vector<RenderCall> rendercalls;
inline std::map<size_t, int32_t> results;  // what an element, keyed like RenderCall, returns once per showing

inline size_t StoreOffset(const ElementNode* e) { return static_cast<size_t>(e->header - playbillstore); }

inline std::vector<RenderCall> CallsOf(size_t element) {
  std::vector<RenderCall> out;
  std::copy_if(rendercalls.begin(), rendercalls.end(), std::back_inserter(out),
               [&](const RenderCall& c) { return c.element == element; });
  return out;
}

// Logs every call; with the run bit set, clears it, counts the showing in `step` and returns its result.
// Release zeroes `step` and sets `timerstate` to -1 as real renderers do. It stands in every slot, static ones too.
inline int32_t RecordingRenderer(ElementNode* e, DestRect* rect) {
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
  return results[at];
}

class PlayTest : public TextPlayTest {
 protected:
  void SetUp() override {
    TextPlayTest::SetUp();
    std::copy(std::begin(normalrenderers), std::end(normalrenderers), std::begin(savednormal_));
    std::copy(std::begin(staticrenderers), std::end(staticrenderers), std::begin(savedstatic_));
    rendercalls.clear();
    results.clear();
    for (uint32_t t = 1; t < kElemTypeSlots; ++t) normalrenderers[t] = RecordingRenderer;
    staticrenderers[1] = staticrenderers[2] = RecordingRenderer;
  }
  void TearDown() override {
    ReleasePreview();
    std::copy(std::begin(savednormal_), std::end(savednormal_), std::begin(normalrenderers));
    std::copy(std::begin(savedstatic_), std::end(savedstatic_), std::begin(staticrenderers));
    bordertable = nullptr;
    TextPlayTest::TearDown();
  }

 private:
  ElementRenderer savednormal_[kElemTypeSlots];
  ElementRenderer savedstatic_[kElemTypeSlots];
};

}  // namespace ledview::test
