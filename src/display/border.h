// The border table that pages and components take their border from: entry
// t - 1 serves border type t (1..8) with its width and painter.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"

namespace ledview {

inline constexpr uint32_t kBorderTypes = 8;

struct BorderEntry {
  uint32_t width;
  BorderPainter painter;
};

// The table of the current colour mode, chosen by Init2DEnv; null until the
// painters exist.
extern const BorderEntry* bordertable;

// Widths are the same in every colour mode.
inline constexpr uint32_t kBorderWidths[kBorderTypes] = {4, 1, 3, 1, 4, 4, 3, 3};

// The entry for a border type; types outside 1..8 give no border.
inline BorderEntry BorderFor(uint32_t bordertype) {
  if (bordertype < 1 || bordertype > kBorderTypes) return BorderEntry{0, nullptr};
  if (bordertable == nullptr) return BorderEntry{kBorderWidths[bordertype - 1], nullptr};
  return bordertable[bordertype - 1];
}

}  // namespace ledview
