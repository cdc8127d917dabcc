#include "ledview/effectnames.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "format/playbill.h"

namespace ledview::tool {

namespace {

// Every entry slot with its name and what it does; 26 and 27 are Instant
// again and go by number.
constexpr EffectInfo kEntryEffects[kEntrySlotCount] = {
    {"Instant", "the whole picture at once"},
    {"VerticalBlinds", "bands of columns open side by side"},
    {"HorizontalBlinds", "bands of rows open one above the other"},
    {"WipeRight", "revealed column by column from the left edge"},
    {"WipeLeft", "revealed column by column from the right edge"},
    {"WipeDown", "revealed row by row from the top"},
    {"WipeUp", "revealed row by row from the bottom"},
    {"RandomBlocks", "small blocks appear in random order"},
    {"SlideRight", "slides in from the left"},
    {"SlideLeft", "slides in from the right"},
    {"SlideDown", "slides in from the top"},
    {"SlideUp", "slides in from the bottom"},
    {"SlideDownRight", "slides in from the top-left corner"},
    {"SlideUpRight", "slides in from the bottom-left corner"},
    {"SlideUpLeft", "slides in from the bottom-right corner"},
    {"SlideDownLeft", "slides in from the top-right corner"},
    {"CombWipeHorizontal", "alternate rows wiped in from opposite sides"},
    {"CombWipeVertical", "alternate columns wiped in from top and bottom"},
    {"CombSlideHorizontal", "alternate rows slide in from opposite sides"},
    {"CombSlideVertical", "alternate columns slide in from top and bottom"},
    {"OpenFromMiddleRow", "opens up and down from the middle row"},
    {"OpenFromMiddleColumn", "opens left and right from the middle column"},
    {"CloseToMiddleRow", "closes in from top and bottom to the middle"},
    {"CloseToMiddleColumn", "closes in from both sides to the middle"},
    {"RotateIn", "a dotted copy turns once around the centre"},
    {"FlipIn", "a dotted copy flattens and stretches as it flips"},
    {"", "Instant again"},
    {"", "Instant again"},
    {"DotOverlay", "shown at once, with rows of dots drawn over it"},
    {"Blink", "blinks ten times, then stays"},
    {"CheckerWipeRight", "half the checkerboard at once, the rest wiped in to the right"},
    {"CheckerWipeDown", "half the checkerboard at once, the rest wiped in downward"},
    {"FanSweep", "a fan opens from the centre, upward first, then down"},
    {"ShrinkToBottomLeft", "the dark shrinks into the bottom-left corner"},
    {"ShrinkToTopLeft", "the dark shrinks into the top-left corner"},
    {"ShrinkToTopRight", "the dark shrinks into the top-right corner"},
    {"ShrinkToBottomRight", "the dark shrinks into the bottom-right corner"},
    {"FramesInward", "frame by frame from the edges to the centre"},
    {"FramesOutward", "frame by frame from the centre to the edges"},
    {"DiamondOutward", "a diamond grows from the centre"},
    {"CrossOutward", "a cross widens from the centre"},
    {"TwinSweep", "each half revealed from the top by a turning line"},
    {"ClockSweep", "a clock hand from 12 o'clock sweeps round clockwise"},
    {"ClockSweepReverse", "a clock hand from 3 o'clock sweeps round anticlockwise"},
    {"SpiralBox", "a box grows from the centre, a quarter turn at a time"},
    {"ScrollThroughRight", "scrolls right across the component and out again"},
    {"ScrollThroughLeft", "scrolls left across the component and out again"},
    {"ScrollThroughDown", "scrolls down across the component and out again"},
    {"ScrollThroughUp", "scrolls up across the component and out again"},
    {"ScrollLoopRight", "scrolls right for ever, end to end"},
    {"ScrollLoopLeft", "scrolls left for ever, end to end"},
    {"ScrollLoopDown", "scrolls down for ever, end to end"},
    {"ScrollLoopUp", "scrolls up for ever, end to end"},
};

// Exit value n (1..9) runs exit slot n - 1.
constexpr EffectInfo kExitEffects[kExitSlotCount] = {
    {"ClearInstant", "cleared at once"},
    {"EraseRight", "erased column by column to the right"},
    {"EraseLeft", "erased column by column to the left"},
    {"EraseDown", "erased row by row downward"},
    {"EraseUp", "erased row by row upward"},
    {"EraseFromMiddleColumn", "erased from the middle column outward"},
    {"EraseToMiddleColumn", "erased from both sides to the middle column"},
    {"EraseFromMiddleRow", "erased from the middle row outward"},
    {"EraseToMiddleRow", "erased from top and bottom to the middle row"},
};

// Letters two names differ by (insertions, deletions and changes), case aside.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

}  // namespace

int32_t EntryEffectByName(const std::string& name) {
  if (strcasecmp(name.c_str(), "random") == 0) return kEntryEffectRandom;
  for (int32_t i = 0; i < kEntrySlotCount; ++i) {
    if (kEntryEffects[i].name[0] != '\0' && strcasecmp(name.c_str(), kEntryEffects[i].name) == 0) return i;
  }
  return -1;
}

int32_t ExitEffectByName(const std::string& name) {
  if (strcasecmp(name.c_str(), "none") == 0) return 0;
  if (strcasecmp(name.c_str(), "random") == 0) return static_cast<int32_t>(kExitEffectRandom);
  for (int32_t i = 0; i < kExitSlotCount; ++i) {
    if (strcasecmp(name.c_str(), kExitEffects[i].name) == 0) return i + 1;
  }
  return -1;
}

std::string EntryEffectName(uint32_t value) {
  if (value == kEntryEffectRandom) return "random";
  return value < kEntryEffectRandom ? kEntryEffects[value].name : "";
}

std::string ExitEffectName(uint32_t value) {
  if (value == 0) return "none";
  if (value == kExitEffectRandom) return "random";
  return value < kExitEffectRandom ? kExitEffects[value - 1].name : "";
}

std::span<const EffectInfo> EntryEffectTable() { return kEntryEffects; }
std::span<const EffectInfo> ExitEffectTable() { return kExitEffects; }

std::string ClosestEffectNames(const std::string& name, bool entry) {
  std::vector<std::pair<size_t, std::string>> scored;
  for (const EffectInfo& e : entry ? EntryEffectTable() : ExitEffectTable()) {
    if (e.name[0] != '\0') scored.emplace_back(Distance(name, e.name), e.name);
  }
  scored.emplace_back(Distance(name, "random"), "random");
  if (!entry) scored.emplace_back(Distance(name, "none"), "none");
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (size_t i = 0; i < scored.size() && i < 3; ++i) {
    if (i > 0 && scored[i].first > scored[0].first + 2) break;
    out += (i == 0 ? "" : ", ") + scored[i].second;
  }
  return out;
}

std::string ClosestName(const std::string& name, std::span<const char* const> names) {
  // Near enough to be a slip: a third of the letters, at least two.
  size_t best = std::max<size_t>(2, name.size() / 3) + 1;
  std::string found;
  for (const char* candidate : names) {
    const size_t d = Distance(name, candidate);
    if (d < best) {
      best = d;
      found = candidate;
    }
  }
  return found;
}

}  // namespace ledview::tool
