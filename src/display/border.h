// Animated component and page borders. A border type t (1..8) takes
// bordertable[t - 1].width pixels on each side of its object and is drawn
// one animation step per call of the painter, which advances the object's
// phase word. There is one painter set per framebuffer layout; Init2DEnv
// points `bordertable` at the one for the colour mode.
//
// Release: painter(0, 0, 0, 0, &phase) draws nothing; type 6 frees the walker
// state its phase word holds and sets the word to 0.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "format/playbill.h"

namespace ledview {

struct BorderType {
  int32_t width;
  BorderPainter painter;
};

extern const BorderType bitplaneborders[kBorderTypes];  // colour mode 1
extern const BorderType byteborders[kBorderTypes];      // colour modes 2 and 4
extern const BorderType* bordertable;

// The entry for a border type; types outside 1..8 give no border. Without a
// table (tests that run no painters) the widths still apply.
inline BorderType BorderFor(uint32_t bordertype) {
  if (bordertype < 1 || bordertype > static_cast<uint32_t>(kBorderTypes)) return BorderType{0, nullptr};
  if (bordertable == nullptr) return BorderType{kBorderWidths[bordertype - 1], nullptr};
  return bordertable[bordertype - 1];
}

}  // namespace ledview
