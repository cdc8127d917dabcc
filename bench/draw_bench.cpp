// The drawing operations on large rectangles in both framebuffer layouts.
// pixels is the rate of destination pixels written; vs_memcpy / vs_memset is
// the operation's time over a plain memcpy / memset of as many bytes as the
// rectangle's rows span, measured side by side in each iteration.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <vector>

#include "display/drawops.h"
#include "display/framebuffer.h"
#include "ledview.h"

namespace {

using ledview::BlitRect;
using ledview::Bitmap;
using ledview::DestRect;
using ledview::drawops;

constexpr int16_t kWidth = 1024;
constexpr int16_t kHeight = 200;

// An engine with a 2048 x 256 sign in the given colour mode; set-up's scan
// lines are kept off the benchmark's report.
void StartEngine(int32_t mode) {
  ReleasePreview();
  std::fflush(stdout);
  const int saved = dup(1);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  InitLedConfigure(2048, 256, mode);
  std::fflush(stdout);
  dup2(saved, 1);
  close(null);
  close(saved);
}

template <typename F>
double Seconds(F f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs op and baseline once per iteration and reports the rate and the ratio.
template <typename Op, typename Base>
void Measure(benchmark::State& state, const char* ratio, Op op, Base baseline) {
  double optime = 0;
  double basetime = 0;
  for (auto _ : state) {
    const double t = Seconds(op);
    basetime += Seconds(baseline);
    optime += t;
    state.SetIterationTime(t);
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] =
      benchmark::Counter(double{kWidth} * kHeight * state.iterations(), benchmark::Counter::kIsRate);
  state.counters[ratio] = basetime > 0 ? optime / basetime : 0;
  ReleasePreview();
}

std::vector<uint8_t>& Scratch() {
  static std::vector<uint8_t> bytes(2 * size_t{kWidth} * kHeight);
  return bytes;
}

void CopyBaseline() {
  std::vector<uint8_t>& s = Scratch();
  std::memcpy(s.data() + size_t{kWidth} * kHeight, s.data(), size_t{kWidth} * kHeight);
}

// Args: colour mode, source bits per pixel, source x offset.
void BlitFromSource(benchmark::State& state, bool over) {
  StartEngine(static_cast<int32_t>(state.range(0)));
  const int32_t bits = static_cast<int32_t>(state.range(1));
  const int16_t sx = static_cast<int16_t>(state.range(2));
  const int16_t pitch = static_cast<int16_t>((kWidth + sx) * bits / 8 + 4);
  std::vector<uint8_t> pixels(size_t(pitch) * kHeight);
  std::mt19937 rng(3);
  for (uint8_t& v : pixels) v = static_cast<uint8_t>(rng());
  const uint16_t format = bits == 1 ? 3 : bits == 2 ? 8 : 12;
  const Bitmap b{static_cast<int16_t>(kWidth + sx), kHeight, format, pitch, pixels.data()};
  const BlitRect r{sx, 0, 7, 20, kWidth, kHeight};
  auto op = over ? drawops.BlitBitmapOver : drawops.BlitBitmap;
  Measure(state, "vs_memcpy", [&] { op(&r, &b); }, CopyBaseline);
}

void BM_BlitBitmap(benchmark::State& state) { BlitFromSource(state, false); }
void BM_BlitBitmapOver(benchmark::State& state) { BlitFromSource(state, true); }

void BM_FillRect(benchmark::State& state) {
  StartEngine(static_cast<int32_t>(state.range(0)));
  const DestRect d{7, 20, kWidth, kHeight};
  uint8_t colour = 0;
  Measure(
      state, "vs_memset", [&] { drawops.FillRect(&d, colour ^= 1); },
      [] { std::memset(Scratch().data(), 1, size_t{kWidth} * kHeight); });
}

// Overlapping moves: down and to the right (copied from the far end) and up
// and to the left.
void BM_MoveRect(benchmark::State& state) {
  StartEngine(static_cast<int32_t>(state.range(0)));
  const int16_t shift = static_cast<int16_t>(state.range(1));
  const BlitRect r{100, 30, static_cast<int16_t>(100 + shift), static_cast<int16_t>(30 + shift), kWidth, kHeight};
  Measure(state, "vs_memcpy", [&] { drawops.MoveRect(&r); }, CopyBaseline);
}

BENCHMARK(BM_BlitBitmap)
    ->ArgNames({"mode", "bits", "sx"})
    ->ArgsProduct({{1, 2}, {1, 2, 4}, {0, 3}})
    ->UseManualTime();
BENCHMARK(BM_BlitBitmapOver)->ArgNames({"mode", "bits", "sx"})->ArgsProduct({{1, 2}, {1}, {0, 3}})->UseManualTime();
BENCHMARK(BM_FillRect)->ArgName("mode")->Arg(1)->Arg(2)->UseManualTime();
BENCHMARK(BM_MoveRect)->ArgNames({"mode", "shift"})->ArgsProduct({{1, 2}, {5, -3}})->UseManualTime();

}  // namespace
