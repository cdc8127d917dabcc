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

#include "ledview.h"

namespace {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 64;
constexpr int kSimulatedSeconds = 60;
constexpr int kTicksPerSecond = 100;

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v));
  Put16(b, static_cast<uint16_t>(v >> 16));
}

void Patch32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// One page, one area over the whole sign, 4 x 4 components of 64 x 16, each
// with one string element: slide entry 8..15 in turn, speed 2..6, a stay of
// 1..3 seconds and an erase exit.
std::vector<uint8_t> TextPlayBill() {
  std::vector<uint8_t> b;
  Put32(b, 0x80000000u);
  Put32(b, 0);
  const size_t pagesize = b.size();
  Put32(b, 0);
  Put32(b, 0x40000000u);
  Put32(b, 0);  // no border
  Put32(b, 0);  // plays for ever
  const size_t areasize = b.size();
  Put32(b, 0);
  Put32(b, 0x20000000u);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, kWidth);
  Put16(b, kHeight);
  Put32(b, 0);
  const size_t componentsize = b.size();
  Put32(b, 0);
  for (uint16_t i = 0; i < 16; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "TEXT %02u", static_cast<unsigned>(i));
    const std::string s = text;
    Put32(b, 0x08000000u);
    Put16(b, static_cast<uint16_t>((i % 4) * 64));
    Put16(b, static_cast<uint16_t>((i / 4) * 16));
    Put16(b, 64);
    Put16(b, 16);
    Put32(b, 0);
    Put32(b, 24 + 24 + static_cast<uint32_t>(s.size()));
    Put32(b, 0x04000000u);
    Put16(b, 2);                                  // string text
    Put16(b, 0);                                  // no start delay
    Put16(b, static_cast<uint16_t>(2 + i % 5));   // speed
    Put16(b, static_cast<uint16_t>(8 + i % 8));   // SlideRight .. SlideDownLeft
    Put32(b, 1 + i % 3);                          // stay
    Put32(b, 2 + i % 4);                          // EraseRight .. EraseUp
    Put32(b, 24 + static_cast<uint32_t>(s.size()));
    Put16(b, static_cast<uint16_t>(i + 1));       // string id
    Put16(b, 1);                                  // single line
    Put32(b, 1 + i % 7);                          // colour
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, static_cast<uint32_t>(s.size()));
    Put32(b, 16);
    b.insert(b.end(), s.begin(), s.end());
  }
  Patch32(b, componentsize, static_cast<uint32_t>(b.size() - componentsize - 4));
  Patch32(b, areasize, static_cast<uint32_t>(b.size() - areasize - 4));
  Patch32(b, pagesize, static_cast<uint32_t>(b.size() - pagesize - 4));
  return b;
}

void BM_TextPlaybill(benchmark::State& state) {
  const int32_t mode = static_cast<int32_t>(state.range(0));
  std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight);
  const std::vector<uint8_t> bill = TextPlayBill();
  ReleasePreview();
  const bool ready = InitLedConfigure(kWidth, kHeight, mode) == 0 &&
                     SetFontPathname(LEDVIEW_BENCH_LATIN_FONT) == 0 &&
                     SetBmpBuffer(kWidth, kHeight, kWidth, out.data()) == 0;
  if (!ready) {
    state.SkipWithError("cannot set up the engine with " LEDVIEW_BENCH_LATIN_FONT);
    ReleasePreview();
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
