// A ready engine with recording renderers in the slots, the engine's own
// put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "playbill/loader.h"
#include "playbill/nodes.h"
#include "support/billbuilder.h"
#include "support/engine_fixture.h"
#include "support/text_play.h"

namespace ledview::test {

struct RenderCall {
  size_t element;  // offset of the element's header in the store
  bool release;
  DestRect rect;
  uint32_t flags, refresh;  // the element's flags and the step's refreshflags
};

struct RenderScript {  // for one element, keyed like RenderCall
  int32_t result = 0;       // returned once per showing
  uint32_t selftick = 0;    // arms a tick timer on its own flags when shown
  bool allocimage = false;  // keeps an arena block in curtxtimg
};

extern std::vector<RenderCall> rendercalls;
extern std::map<size_t, RenderScript> renderscripts;

// Logs every call. With the run bit set it clears it, counts the showing in
// `step` and follows its script; the release call zeroes `step` and sets
// `timerstate` to -1. It stands in every renderer slot, static ones too.
int32_t RecordingRenderer(ElementNode* element, DestRect* rect);

size_t StoreOffset(const ElementNode* element);
std::vector<RenderCall> CallsOf(size_t element);

class PlayTest : public TextPlayTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Actions(int n);  // notifications without a refresh
  void Seconds(int n);

 private:
  ElementRenderer savednormal_[kElemTypeSlots];
  ElementRenderer savedstatic_[kElemTypeSlots];
};

}  // namespace ledview::test
