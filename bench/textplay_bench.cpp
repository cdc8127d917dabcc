// A whole text playbill played as a host drives it: 16 components of string
// texts with slide entries and erase exits on a 256 x 64 sign, for 60
// simulated seconds of a host ticking every 10 ms (one NotifyActtion and one
// RefreshBuffer per tick, NotifySecond every 100 ticks). Counter sim_s:
// simulated seconds played per wall-clock second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "boards.h"
#include "ledview.h"

namespace {

constexpr int32_t kWidth = kBoardWidth;
constexpr int32_t kHeight = kBoardHeight;
constexpr int kSimulatedSeconds = 60;
constexpr int kTicksPerSecond = 100;

void BM_TextPlaybill(benchmark::State& state) {
  const int32_t mode = static_cast<int32_t>(state.range(0));
  std::vector<uint8_t> out;
  std::vector<std::string> texts;
  for (int32_t i = 0; i < kBoardComponents; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "TEXT %02d", static_cast<int>(i));
    texts.push_back(text);
  }
  const std::vector<uint8_t> bill = StringBoard(texts, 16);
  if (!StartBoard(mode, &out)) {
    state.SkipWithError("cannot set up the engine with " LEDVIEW_BENCH_LATIN_FONT);
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    EndPreview();
    SetBmpBuffer(kWidth, kHeight, kWidth, out.data());
    if (SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) != 0) {
      state.SkipWithError("the playbill does not load");
      break;
    }
    state.ResumeTiming();
    for (int second = 0; second < kSimulatedSeconds; ++second) {
      for (int tick = 0; tick < kTicksPerSecond; ++tick) {
        NotifyActtion();
        RefreshBuffer();
      }
      NotifySecond();
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.counters["sim_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSimulatedSeconds, benchmark::Counter::kIsRate);
  ReleasePreview();
}
BENCHMARK(BM_TextPlaybill)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
