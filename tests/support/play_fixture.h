// A ready engine with an output buffer, renderers made for the tests in the
// renderer slots, and everything (the engine's own renderers included) put
// back afterwards.
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
  uint32_t flags;  // the element's flags when called
  uint32_t refresh;  // refreshflags of the step
};

// Behaviour of the recording renderer for one element, keyed by its header
// offset in the store.
struct RenderScript {
  int32_t result = 0;     // returned once per showing, when the run bit is set
  uint32_t selftick = 0;  // arms a tick timer on its own flags when started
  bool allocimage = false;  // keeps an arena block in curtxtimg
};

extern std::vector<RenderCall> rendercalls;
extern std::map<size_t, RenderScript> renderscripts;

// Logs every call. With a rectangle and the run bit set it clears the bit,
// counts the showing in `step` and returns its script's result; otherwise
// it returns 0. The release call zeroes `step` and sets `timerstate` to -1.
int32_t RecordingRenderer(ElementNode* element, DestRect* rect);
// A distinct renderer, to tell the static slots from the normal ones.
int32_t StaticRecordingRenderer(ElementNode* element, DestRect* rect);

size_t StoreOffset(const ElementNode* element);
// Calls of one element, in order.
std::vector<RenderCall> CallsOf(size_t element);

// The text-play engine with the recording renderers in the renderer slots.
class PlayTest : public TextPlayTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Notifications alone, without a refresh.
  void Actions(int n);
  void Seconds(int n);

 private:
  ElementRenderer savednormal_[kElemTypeSlots];
  ElementRenderer savedstatic_[kElemTypeSlots];
};

}  // namespace ledview::test
