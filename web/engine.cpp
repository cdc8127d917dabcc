// The WebAssembly module's own entry points beside the engine's exported
// functions: the font given as bytes, the simulated clock, and the GB2312
// table that the JavaScript side converts live strings with.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>

#include "ledview.h"
#include "ledview_internal.h"

namespace {
// The engine opens fonts by path: the bytes go to a file in the module's
// memory file system first.
constexpr const char* kFontPath = "/ledview-font";
}  // namespace

extern "C" {

// Writes the font's bytes to the memory file system and loads them; the
// engine's code, or -1 when the file cannot be written.
EMSCRIPTEN_KEEPALIVE int32_t LvSetFont(const uint8_t* data, int32_t length) {
  if (data == nullptr || length < 1) return -1;
  std::FILE* f = std::fopen(kFontPath, "wb");
  if (f == nullptr) return -1;
  const bool written = std::fwrite(data, 1, static_cast<size_t>(length), f) == static_cast<size_t>(length);
  if (std::fclose(f) != 0 || !written) return -1;
  const int32_t r = SetFontPathname(kFontPath);
  // FreeType keeps the file open while the face lives, so the name alone
  // goes; the bytes stay until the face is released.
  std::remove(kFontPath);
  return r;
}

// Pins the clock at a calendar time (seconds since 1970) or, with real
// non-zero, gives it back to the browser's clock.
EMSCRIPTEN_KEEPALIVE void LvSetClock(double seconds, int32_t real) {
  if (real != 0) {
    ledview::ClockUseReal();
  } else {
    ledview::ClockSimulate(static_cast<int64_t>(seconds));
  }
}

EMSCRIPTEN_KEEPALIVE void LvAdvanceClock(int32_t seconds) { ledview::ClockAdvance(seconds); }

// A new show starts its action count from 0, as a fresh engine has it.
EMSCRIPTEN_KEEPALIVE void LvResetActionCounter() { ledview::ResetActionCounter(); }

EMSCRIPTEN_KEEPALIVE const uint16_t* LvGbTable() { return ledview::EngineGbTable().entries; }

EMSCRIPTEN_KEEPALIVE int32_t LvGbTableCount() { return ledview::EngineGbTable().count; }

}  // extern "C"
