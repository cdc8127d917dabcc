// One full run of every entry and exit effect on a 256 x 64 rectangle at
// speed 8, in the bit-plane layout (colour mode 1) and the byte-per-pixel
// layout (colour mode 4). The counter steps is effect calls per second. An
// endless scroll runs one pass. A run fails when the arena shrinks after the
// effect's first call: effects may take one block when they start, never one
// per step.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "display/drawtypes.h"
#include "effects/effects.h"
#include "ledview.h"
#include "memory/arena.h"
#include "playbill/nodes.h"

namespace {

using namespace ledview;

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 64;
constexpr int32_t kStepLimit = 10000;

// InitLedConfigure reports the scan environment on stdout; keep it out of
// the benchmark's table.
bool Configure(int32_t mode) {
  ReleasePreview();
  std::fflush(stdout);
  const int saved = dup(1);
  const int devnull = open("/dev/null", O_WRONLY);
  if (devnull >= 0) dup2(devnull, 1);
  const int32_t rc = InitLedConfigure(kWidth, kHeight, mode);
  std::fflush(stdout);
  if (saved >= 0) dup2(saved, 1);
  if (devnull >= 0) close(devnull);
  if (saved >= 0) close(saved);
  return rc == 0;
}

const std::vector<uint8_t>& ImagePixels() {
  static const std::vector<uint8_t> pixels = [] {
    std::vector<uint8_t> p(kWidth / 8 * kHeight);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 37 + (i >> 5) * 11);
    return p;
  }();
  return pixels;
}

void RunEffect(benchmark::State& state, bool exit, int32_t slot, int32_t mode) {
  if (!Configure(mode)) {
    state.SkipWithError("InitLedConfigure failed");
    return;
  }
  uint8_t header[24] = {};
  header[8] = 8;
  ElementNode e{};
  e.header = header;
  e.image = Bitmap{kWidth, kHeight, 1, kWidth / 8, ImagePixels().data()};
  const EffectFunction f = exit ? ExitEffects[slot] : EntryEffects[slot];
  const bool endless = !exit && slot >= 45;
  int64_t steps = 0;
  bool allocates = false;
  for (auto _ : state) {
    e.step = 0;
    e.extent = 0;
    e.stepDelay = 0;
    e.exitPhase = exit ? 1 : 0;
    DestRect rect{0, 0, kWidth, kHeight};
    uint32_t top = 0;
    for (int32_t n = 0; n < kStepLimit; ++n) {
      const int32_t result = f(&e, &rect);
      ++steps;
      if (n == 0) top = ArenaTopSize();
      if (result <= 0) break;
      if (endless && n > 0 && e.extent == 0) break;
    }
    if (ArenaTopSize() < top) allocates = true;
    if (e.workBuffer != nullptr) {
      ArenaFree(e.workBuffer);
      e.workBuffer = nullptr;
    }
  }
  state.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
  ReleasePreview();
  if (allocates) state.SkipWithError("the effect takes memory on later steps");
}

const bool registered = [] {
  for (int32_t mode : {1, 4}) {
    for (int32_t slot = 0; slot < kEntryEffectCount; ++slot) {
      const std::string name = "Entry/" + std::to_string(slot) + "/mode" + std::to_string(mode);
      benchmark::RegisterBenchmark(name.c_str(), [slot, mode](benchmark::State& s) { RunEffect(s, false, slot, mode); });
    }
    for (int32_t slot = 0; slot < kExitEffectCount; ++slot) {
      const std::string name = "Exit/" + std::to_string(slot) + "/mode" + std::to_string(mode);
      benchmark::RegisterBenchmark(name.c_str(), [slot, mode](benchmark::State& s) { RunEffect(s, true, slot, mode); });
    }
  }
  return true;
}();

}  // namespace
