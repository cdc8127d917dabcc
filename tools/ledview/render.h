// Plays a playbill on the engine as a host would, in simulated time, and
// turns what the sign shows into pictures: an animated GIF, one PNG, or a
// folder of PNG frames.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ledview/stepper.h"

namespace ledview::tool {

// An LED's dot in the LED look: a disc of this radius in cells, centred in
// its cell (from 3 pixels a cell up; below that the whole cell).
inline constexpr double kLedDotRadius = 0.42;

// What an LED of a sign in colour mode `mode` shows for a colour value:
// a mode-2 sign has red and green LEDs only, so a blue bit stays dark; a
// mode-1 sign lights every coloured LED in its one colour (1). The engine's
// bytes are kept as they are; only the pictures show the sign's LEDs.
uint8_t SignColour(uint8_t value, int32_t mode);
std::vector<uint8_t> SignLeds(const std::vector<uint8_t>& leds, int32_t mode);

// The sign drawn `scale` times larger as palette indices: 0 black, 1..7
// the colours its LEDs show (SignColour), 8 an unlit LED (LED look only).
struct Canvas {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> index;
};
Canvas Paint(const std::vector<uint8_t>& leds, int32_t width, int32_t height, int32_t mode,
             int32_t scale, Look look);
// The palette of Paint as 0xRRGGBB.
uint32_t PaletteRgb(uint8_t index);
std::vector<uint8_t> CanvasPng(const Canvas& canvas);

// GIF timing: frames last whole hundredths of a second and at least two of
// them. A picture that comes less than 20 ms after the frame before began
// replaces that frame; rounding is carried into the next frame's start, so
// the GIF keeps to simulated time.
struct FrameClock {
  bool pending = false;
  int64_t startms = 0;  // where the pending frame begins in the GIF
};
// A new picture at `ms`: the delay in hundredths to write the pending frame
// with, or 0 when the new picture takes the pending frame's place.
int32_t FrameClockNext(FrameClock* clock, int64_t ms);
// The last frame's delay for a GIF that ends at `ms`.
int32_t FrameClockEnd(const FrameClock* clock, int64_t ms);

bool RenderGif(const std::vector<uint8_t>& bill, const RenderOptions& options,
               const std::string& path, std::string* error);
bool RenderPng(const std::vector<uint8_t>& bill, const RenderOptions& options, int64_t atms,
               const std::string& path, std::string* error);
// One PNG per change, named by its time: 000120ms.png, with as many digits
// as the render's last moment needs (at least six), so names sort in time. The folder must not
// exist yet or be empty.
bool RenderFrames(const std::vector<uint8_t>& bill, const RenderOptions& options,
                  const std::string& dir, std::string* error);

}  // namespace ledview::tool
