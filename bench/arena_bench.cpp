// ArenaAlloc/ArenaFree against glibc malloc/free on one mix of requests.
// The counter vs_malloc is the arena's time over malloc's for the same mix,
// measured side by side in each iteration.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

#include "memory/arena.h"
#include "memory/lock.h"

namespace {

struct Op {
  bool alloc;
  uint32_t size;
  uint32_t slot;
};

// Small, medium and large requests with interleaved frees, as text images,
// effect buffers and glyph cells come and go.
std::vector<Op> MakeMix() {
  std::mt19937 rng(7);
  std::vector<Op> ops;
  std::vector<uint32_t> live;
  uint32_t next = 0;
  for (int i = 0; i < 4000; ++i) {
    if (live.empty() || rng() % 100 < 55) {
      const uint32_t kind = rng() % 100;
      const uint32_t size = kind < 60 ? 8 + rng() % 64 : kind < 90 ? 128 + rng() % 2048 : 8192 + rng() % 32768;
      ops.push_back({true, size, next});
      live.push_back(next++);
    } else {
      const size_t k = rng() % live.size();
      ops.push_back({false, 0, live[k]});
      live[k] = live.back();
      live.pop_back();
    }
  }
  for (uint32_t slot : live) ops.push_back({false, 0, slot});
  return ops;
}

template <typename Alloc, typename Free>
double RunMix(const std::vector<Op>& ops, std::vector<void*>& slots, Alloc alloc, Free release) {
  const auto start = std::chrono::steady_clock::now();
  for (const Op& op : ops) {
    if (op.alloc) {
      slots[op.slot] = alloc(op.size);
      benchmark::DoNotOptimize(slots[op.slot]);
    } else {
      release(slots[op.slot]);
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ArenaVersusMalloc(benchmark::State& state) {
  const std::vector<Op> ops = MakeMix();
  std::vector<void*> slots(ops.size());
  std::vector<uint8_t> block(ledview::kArenaBlockSize);
  ledview::ArenaInit(block.data(), block.size());
  double arenatime = 0;
  double malloctime = 0;
  for (auto _ : state) {
    const double a = RunMix(ops, slots, ledview::ArenaAlloc, ledview::ArenaFree);
    const double m = RunMix(ops, slots, [](size_t n) { return std::malloc(n); }, std::free);
    state.SetIterationTime(a);
    arenatime += a;
    malloctime += m;
  }
  state.counters["ops"] = benchmark::Counter(static_cast<double>(ops.size()) * state.iterations(),
                                             benchmark::Counter::kIsRate);
  state.counters["vs_malloc"] = malloctime > 0 ? arenatime / malloctime : 0;
  ledview::LockReleaseAll();
}
BENCHMARK(BM_ArenaVersusMalloc)->UseManualTime();

}  // namespace
