// RefreshBuffer's copy-out for the largest framebuffer of each colour mode,
// against memcpy of the same number of output bytes measured side by side
// in each iteration (counter vs_memcpy: copy-out time over memcpy time), and
// an idle RefreshBuffer on a small sign with no bits pending.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "api/engine.h"
#include "display/framebuffer.h"
#include "ledview.h"

namespace {

// A one-page playbill with a single analog clock element (no renderer is
// bound in the bench, so nothing draws).
std::vector<uint8_t> TinyPlayBill(uint16_t width, uint16_t height) {
  std::vector<uint8_t> b(120, 0);
  auto put16 = [&b](size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, static_cast<uint16_t>(v));
    put16(at + 2, static_cast<uint16_t>(v >> 16));
  };
  put32(0, 0x80000000u);
  put32(8, 108);
  put32(12, 0x40000000u);
  put32(24, 92);
  put32(28, 0x20000000u);
  put16(36, width);
  put16(38, height);
  put32(44, 72);
  put32(48, 0x08000000u);
  put16(56, width);
  put16(58, height);
  put32(64, 52);
  put32(68, 0x04000000u);
  put16(72, 4);
  put32(88, 28);
  return b;
}

// Playing, with the output buffer as large as the framebuffer. The bench
// has no font file at hand; the flag stands in for a loaded one.
bool StartPlaying(int32_t width, int32_t height, int32_t mode, std::vector<uint8_t>& out) {
  ReleasePreview();
  if (InitLedConfigure(width, height, mode) != 0) return false;
  ledview::status.fontloaded = 1;
  const auto& fb = ledview::framebuffer;
  out.assign(static_cast<size_t>(fb.fbwidth) * fb.fbheight, 0);
  if (SetBmpBuffer(static_cast<int32_t>(fb.fbwidth), static_cast<int32_t>(fb.fbheight),
                   static_cast<int32_t>(fb.fbwidth), out.data()) != 0) {
    return false;
  }
  const std::vector<uint8_t> bill = TinyPlayBill(8, 8);
  if (SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) != 0) return false;
  std::mt19937 rng(5);
  for (uint8_t& b : ledview::framebuffer.pixels) b = static_cast<uint8_t>(rng() & 7);
  return true;
}

void BM_CopyOut(benchmark::State& state) {
  const int32_t mode = static_cast<int32_t>(state.range(0));
  const int32_t width = static_cast<int32_t>(state.range(1));
  const int32_t height = static_cast<int32_t>(state.range(2));
  std::vector<uint8_t> out;
  if (!StartPlaying(width, height, mode, out)) {
    state.SkipWithError("engine did not start");
    return;
  }
  const auto& fb = ledview::framebuffer;
  if (fb.fbwidth != static_cast<uint32_t>(width) || fb.fbheight != static_cast<uint32_t>(height)) {
    state.SkipWithError("unexpected framebuffer shape");
    return;
  }
  std::vector<uint8_t> source(out.size(), 1);
  std::vector<uint8_t> sink(out.size());
  double refreshtime = 0;
  double memcpytime = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    RefreshBuffer();
    auto t1 = std::chrono::steady_clock::now();
    std::memcpy(sink.data(), source.data(), sink.size());
    benchmark::ClobberMemory();
    auto t2 = std::chrono::steady_clock::now();
    const double r = std::chrono::duration<double>(t1 - t0).count();
    state.SetIterationTime(r);
    refreshtime += r;
    memcpytime += std::chrono::duration<double>(t2 - t1).count();
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(sink.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(out.size()) * state.iterations());
  state.counters["vs_memcpy"] = memcpytime > 0 ? refreshtime / memcpytime : 0;
  ReleasePreview();
}
BENCHMARK(BM_CopyOut)
    ->ArgNames({"mode", "width", "height"})
    ->Args({1, 2048, 1024})
    ->Args({2, 4096, 256})
    ->Args({4, 4096, 128})
    ->UseManualTime();

void BM_IdleRefresh(benchmark::State& state) {
  std::vector<uint8_t> out(64 * 32);
  ReleasePreview();
  if (InitLedConfigure(64, 32, 1) != 0) {
    state.SkipWithError("engine did not start");
    return;
  }
  ledview::status.fontloaded = 1;
  const std::vector<uint8_t> bill = TinyPlayBill(8, 8);
  if (SetBmpBuffer(64, 32, 64, out.data()) != 0 ||
      SetPlayBill(bill.data(), static_cast<int32_t>(bill.size())) != 0) {
    state.SkipWithError("engine did not start");
    return;
  }
  for (auto _ : state) {
    RefreshBuffer();
    benchmark::DoNotOptimize(out.data());
  }
  ReleasePreview();
}
BENCHMARK(BM_IdleRefresh);

}  // namespace
