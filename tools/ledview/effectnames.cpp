#include "ledview/effectnames.h"

#include <strings.h>

#include "format/playbill.h"

namespace ledview::tool {

namespace {

constexpr const char* kEntryNames[kEntrySlotCount] = {
    "Instant", "VerticalBlinds", "HorizontalBlinds", "WipeRight", "WipeLeft", "WipeDown",
    "WipeUp", "RandomBlocks", "SlideRight", "SlideLeft", "SlideDown", "SlideUp",
    "SlideDownRight", "SlideUpRight", "SlideUpLeft", "SlideDownLeft", "CombWipeHorizontal",
    "CombWipeVertical", "CombSlideHorizontal", "CombSlideVertical", "OpenFromMiddleRow",
    "OpenFromMiddleColumn", "CloseToMiddleRow", "CloseToMiddleColumn", "RotateIn", "FlipIn",
    "",  // 26 and 27 are Instant again; they go by number
    "", "DotOverlay", "Blink", "CheckerWipeRight", "CheckerWipeDown", "FanSweep",
    "ShrinkToBottomLeft", "ShrinkToTopLeft", "ShrinkToTopRight", "ShrinkToBottomRight",
    "FramesInward", "FramesOutward", "DiamondOutward", "CrossOutward", "TwinSweep", "ClockSweep",
    "ClockSweepReverse", "SpiralBox", "ScrollThroughRight", "ScrollThroughLeft",
    "ScrollThroughDown", "ScrollThroughUp", "ScrollLoopRight", "ScrollLoopLeft", "ScrollLoopDown",
    "ScrollLoopUp"};

// Exit value n (1..9) runs exit slot n - 1.
constexpr const char* kExitNames[kExitSlotCount] = {"ClearInstant",          "EraseRight",
                                       "EraseLeft",             "EraseDown",
                                       "EraseUp",               "EraseFromMiddleColumn",
                                       "EraseToMiddleColumn",   "EraseFromMiddleRow",
                                       "EraseToMiddleRow"};

}  // namespace

int32_t EntryEffectByName(const std::string& name) {
  if (strcasecmp(name.c_str(), "random") == 0) return kEntryEffectRandom;
  for (int32_t i = 0; i < kEntrySlotCount; ++i) {
    if (kEntryNames[i][0] != '\0' && strcasecmp(name.c_str(), kEntryNames[i]) == 0) return i;
  }
  return -1;
}

int32_t ExitEffectByName(const std::string& name) {
  if (strcasecmp(name.c_str(), "none") == 0) return 0;
  if (strcasecmp(name.c_str(), "random") == 0) return static_cast<int32_t>(kExitEffectRandom);
  for (int32_t i = 0; i < kExitSlotCount; ++i) {
    if (strcasecmp(name.c_str(), kExitNames[i]) == 0) return i + 1;
  }
  return -1;
}

std::string EntryEffectName(uint32_t value) {
  if (value == kEntryEffectRandom) return "random";
  return value < kEntryEffectRandom ? kEntryNames[value] : "";
}

std::string ExitEffectName(uint32_t value) {
  if (value == 0) return "none";
  if (value == kExitEffectRandom) return "random";
  return value < kExitEffectRandom ? kExitNames[value - 1] : "";
}

}  // namespace ledview::tool
