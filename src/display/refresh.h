// Output refresh: the copy of the framebuffer into the host's buffer, one
// byte per LED in plain row order, and the link indicator laid over the
// top-left corner for the copy only.
#pragma once
#include <cstdint>

namespace ledview {

// 1 while the host wants the link indicator (ShowLink with linkshow set).
extern int32_t linkflag;

inline constexpr uint32_t kLinkFrames = 4;
inline constexpr uint32_t kLinkSide = 8;
// A new frame every this many drawings.
inline constexpr uint32_t kLinkFrameDraws = 8;

struct LinkIndicator {
  uint32_t frame;    // 0..3, never reset
  uint32_t counter;  // drawings of the current frame, 0..7
  uint8_t saved[kLinkSide * kLinkSide];
};
extern LinkIndicator linkindicator;
extern const uint8_t LinkFrames[kLinkFrames][kLinkSide * kLinkSide];

// Copies framebuffer rows 0..rows-1, pixels 0..columns-1, into rows of the
// host buffer pitch bytes apart. Colour mode 1 gives 1 for a lit LED and 0
// for a dark one; colour modes 2 and 4 give the colour value. Writes nothing
// else, and nothing at all when a figure is not positive.
void CopyOut(uint8_t* buffer, int64_t pitch, int32_t rows, int32_t columns);

// Saves the framebuffer's top-left 8 x 8 bytes and draws the current frame
// there; RemoveLinkIndicator puts the saved bytes back.
void DrawLinkIndicator();
void RemoveLinkIndicator();

}  // namespace ledview
