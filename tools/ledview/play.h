// Plays a playbill in a window in real time through the engine's window
// family (LEDPreview_*), with keys to pause, step, restart and quit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::tool {

struct PlayOptions {
  int32_t width = 128;
  int32_t height = 32;
  int32_t mode = 1;
  std::string font = "DejaVu Sans";  // a fontconfig name or a path
  int32_t tickms = 10;               // real time between two action ticks
  int32_t secondms = 1000;           // real time between two seconds
  int32_t scale = 0;                 // window pixels per LED; 0 fits the screen
  int64_t durationms = 0;            // stop after this much play; 0 runs until quit
  std::string title = "ledview";
};

// What a run delivered to the engine.
struct PlayStats {
  int64_t ticks = 0;    // LEDPreview_NotifyActtion calls
  int64_t seconds = 0;  // LEDPreview_NotifySecond calls
  int32_t restarts = 0;
};

// Window size for a sign: the picture (scale pixels a LED, or the largest
// whole scale up to 16 that fits 1200 x 800, shrinking to fit when even one
// pixel a LED is too big) plus the 10-pixel inset on every side.
void PlayWindowSize(int32_t width, int32_t height, int32_t scale, int32_t* windowwidth,
                    int32_t* windowheight);

// Opens the window and plays until q, Escape, the window's close button or
// the duration. Keys: space pauses and resumes, right arrow or '.' pauses
// and plays one tick, r starts the playbill again. Uses SDL's video
// subsystem (initialising it when it is not running yet).
bool PlayWindow(const std::vector<uint8_t>& bill, const PlayOptions& options, PlayStats* stats,
                std::string* error);

}  // namespace ledview::tool
