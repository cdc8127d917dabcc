// A live data board: 16 string components with 32-pixel text on a 256 x 64
// sign, each given a new 40-character text through UpdateString every
// second, for 60 simulated seconds of a host ticking every 10 ms (one
// NotifyActtion and one RefreshBuffer per tick, NotifySecond every 100
// ticks). Every update is laid out afresh on the next pass.
//
// Each iteration plays the board twice from a fresh load: once with the
// updates (the manual time) and once without them, so that what the updates
// cost stands beside what the same seconds cost anyway. Counters:
//   update_ms        wall-clock ms per simulated second with the updates;
//   quiet_ms         wall-clock ms per simulated second without them;
//   update_vs_quiet  the one over the other.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "boards.h"
#include "ledview.h"

namespace {

constexpr int32_t kWidth = kBoardWidth;
constexpr int32_t kHeight = kBoardHeight;
constexpr int32_t kComponents = kBoardComponents;
constexpr uint32_t kTextSize = 32;
constexpr size_t kTextLength = 40;
constexpr int kSimulatedSeconds = 60;
constexpr int kTicksPerSecond = 100;

// The reading component i shows in second s: a station, a clock and
// measurements that change from second to second, 40 characters.
std::string Reading(int32_t i, int s) {
  char text[96];
  std::snprintf(text, sizeof text, "Bay %02d %02d:%02d:%02d T %+5.1fC H %3d%% P %4d kW      ",
                static_cast<int>(i), 8 + s / 3600, s / 60 % 60, s % 60,
                -5.0 + 0.7 * ((i * 13 + s * 7) % 61), (i * 17 + s * 3) % 101,
                (i * 131 + s * 47) % 9973);
  return std::string(text, kTextLength);
}

// Plays the loaded board for a minute; with updates, every component gets
// its next reading at the start of each second. Returns the wall-clock time.
double PlayMinute(bool updates) {
  const auto start = std::chrono::steady_clock::now();
  for (int second = 0; second < kSimulatedSeconds; ++second) {
    if (updates) {
      for (int32_t i = 0; i < kComponents; ++i) {
        const std::string text = Reading(i, second + 1);
        UpdateString(i + 1, text.data(), static_cast<int32_t>(text.size()));
      }
    }
    for (int tick = 0; tick < kTicksPerSecond; ++tick) {
      NotifyActtion();
      RefreshBuffer();
    }
    NotifySecond();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool LoadBoard(const std::vector<uint8_t>& bill, std::vector<uint8_t>& out) {
  EndPreview();
  SetBmpBuffer(kWidth, kHeight, kWidth, out.data());
  return SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) == 0;
}

void BM_LiveBoard(benchmark::State& state) {
  std::vector<uint8_t> out;
  std::vector<std::string> texts;
  for (int32_t i = 0; i < kComponents; ++i) texts.push_back(Reading(i, 0));
  const std::vector<uint8_t> bill = StringBoard(texts, kTextSize);
  if (!StartBoard(1, &out)) {
    state.SkipWithError("cannot set up the engine with " LEDVIEW_BENCH_LATIN_FONT);
    return;
  }
  double updatetime = 0;
  double quiettime = 0;
  for (auto _ : state) {
    if (!LoadBoard(bill, out)) {
      state.SkipWithError("the playbill does not load");
      break;
    }
    const double u = PlayMinute(true);
    if (!LoadBoard(bill, out)) {
      state.SkipWithError("the playbill does not load");
      break;
    }
    const double q = PlayMinute(false);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
    state.SetIterationTime(u);
    updatetime += u;
    quiettime += q;
  }
  const double seconds = static_cast<double>(state.iterations()) * kSimulatedSeconds;
  if (seconds > 0) {
    state.counters["update_ms"] = 1000.0 * updatetime / seconds;
    state.counters["quiet_ms"] = 1000.0 * quiettime / seconds;
    state.counters["update_vs_quiet"] = quiettime > 0 ? updatetime / quiettime : 0;
  }
  ReleasePreview();
}
BENCHMARK(BM_LiveBoard)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
