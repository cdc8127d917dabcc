#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "memory/arena.h"
#include "memory/lock.h"

namespace ledview {
namespace {

class ArenaTest : public testing::Test {
 protected:
  void SetUp() override {
    block_.assign(kArenaBlockSize + 8, 0);
    base_ = block_.data() + (8 - reinterpret_cast<uintptr_t>(block_.data()) % 8) % 8;
    ASSERT_EQ(ArenaInit(base_, kArenaBlockSize), 1);
  }
  void TearDown() override {
    LockReleaseAll();
    std::memset(&main_arena, 0, sizeof main_arena);
  }
  // Every byte the arena can give back ends up in top again.
  void ExpectFullyCoalesced() {
    void* big = ArenaAlloc(100000);  // a large request consolidates fast bins
    ASSERT_NE(big, nullptr);
    ArenaFree(big);
    EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
  }
  std::vector<uint8_t> block_;
  uint8_t* base_ = nullptr;
};

TEST_F(ArenaTest, ChunkSizesOfSmallRequests) {
  for (size_t n = 0; n <= 5; ++n) EXPECT_EQ(ArenaRequestSize(n), 16u) << n;
  EXPECT_EQ(ArenaRequestSize(12), 16u);
  EXPECT_EQ(ArenaRequestSize(13), 24u);
  EXPECT_EQ(ArenaRequestSize(100), 104u);
  EXPECT_EQ(ArenaRequestSize(508), 512u);

  // Consecutive blocks from top sit exactly one chunk apart.
  auto* a = static_cast<uint8_t*>(ArenaAlloc(0));
  auto* b = static_cast<uint8_t*>(ArenaAlloc(4));
  auto* c = static_cast<uint8_t*>(ArenaAlloc(13));
  auto* d = static_cast<uint8_t*>(ArenaAlloc(1));
  ASSERT_TRUE(a && b && c && d);
  EXPECT_EQ(a, base_ + 8);
  EXPECT_EQ(b - a, 16);
  EXPECT_EQ(c - b, 16);
  EXPECT_EQ(d - c, 24);
  EXPECT_EQ(ArenaChunkSize(c), 24u);
  for (void* p : {a, b, c, d}) EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
}

TEST_F(ArenaTest, LargeBinIndices) {
  EXPECT_EQ(ArenaLargeBinIndex(512), 68u);
  EXPECT_EQ(ArenaLargeBinIndex(640), 69u);
  EXPECT_EQ(ArenaLargeBinIndex(1023), 71u);
  EXPECT_EQ(ArenaLargeBinIndex(1024), 72u);
  EXPECT_EQ(ArenaLargeBinIndex(4194304), 64u + 4 * 14 + 0);
  EXPECT_EQ(ArenaLargeBinIndex(65536u * 256), 127u);
}

TEST_F(ArenaTest, RequestLimits) {
  EXPECT_EQ(ArenaAlloc(10485760), nullptr);
  EXPECT_EQ(ArenaAlloc(kArenaBlockSize), nullptr);
  // The largest request leaves exactly 16 bytes of top behind it.
  void* p = ArenaAlloc(kArenaBlockSize - 16 - 4);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(ArenaTopSize(), 16u);
  EXPECT_EQ(ArenaAlloc(1), nullptr);
  ArenaFree(p);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
}

TEST_F(ArenaTest, FastBinsAreLastInFirstOut) {
  void* a = ArenaAlloc(20);
  void* b = ArenaAlloc(20);
  void* guard = ArenaAlloc(20);  // keeps b away from top
  ArenaFree(a);
  ArenaFree(b);
  EXPECT_EQ(ArenaAlloc(20), b);
  EXPECT_EQ(ArenaAlloc(20), a);
  ArenaFree(guard);
}

TEST_F(ArenaTest, FreeNextToTopMergesAtOnce) {
  void* a = ArenaAlloc(64);  // a 72-byte chunk: fast-bin sized
  ASSERT_EQ(ArenaChunkSize(a), 72u);
  ArenaFree(a);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
  EXPECT_EQ(main_arena.max_fast & 1, 1u);  // no fast chunk was filed
}

TEST_F(ArenaTest, LargeRequestConsolidatesFastBins) {
  std::vector<void*> small;
  for (int i = 0; i < 40; ++i) small.push_back(ArenaAlloc(24));
  void* guard = ArenaAlloc(24);
  for (void* p : small) ArenaFree(p);
  EXPECT_EQ(main_arena.max_fast & 1, 0u);
  // 40 neighbouring 32-byte chunks merge into one 1280-byte chunk that
  // serves the large request from where the first small block was.
  void* big = ArenaAlloc(1000);
  EXPECT_EQ(big, small.front());
  EXPECT_EQ(main_arena.max_fast & 1, 1u);
  ArenaFree(big);
  ArenaFree(guard);
  ExpectFullyCoalesced();
}

TEST_F(ArenaTest, SmallBinReuseAndLastRemainderSplits) {
  void* a = ArenaAlloc(200);  // 208-byte chunk, beyond the fast bins
  void* guard = ArenaAlloc(8);
  ArenaFree(a);
  // The freed chunk waits in the unsorted bin and serves the same size.
  EXPECT_EQ(ArenaAlloc(200), a);
  ArenaFree(a);
  // A smaller request is carved from it; the rest becomes the last
  // remainder, from which the next small request is split in turn.
  void* b = ArenaAlloc(40);
  void* c = ArenaAlloc(40);
  ASSERT_TRUE(b && c);
  EXPECT_EQ(b, a);
  EXPECT_EQ(static_cast<uint8_t*>(c) - static_cast<uint8_t*>(b), 48);
  ArenaFree(b);
  ArenaFree(c);
  ArenaFree(guard);
  ExpectFullyCoalesced();
}

TEST_F(ArenaTest, LargeBinsServeBestFitFromSmallestUp) {
  // Three free chunks of one large bin, kept apart by guards.
  void* x1 = ArenaAlloc(1100);
  void* g1 = ArenaAlloc(8);
  void* x2 = ArenaAlloc(1200);
  void* g2 = ArenaAlloc(8);
  void* x3 = ArenaAlloc(1150);
  void* g3 = ArenaAlloc(8);
  ArenaFree(x1);
  ArenaFree(x2);
  ArenaFree(x3);
  // Sorting them into the bin happens on the next search.
  void* y = ArenaAlloc(1120);
  EXPECT_EQ(y, x3);  // the smallest that fits
  void* z = ArenaAlloc(1100);
  EXPECT_EQ(z, x1);
  for (void* p : {y, z, g1, g2, g3}) ArenaFree(p);
  ExpectFullyCoalesced();
}

TEST_F(ArenaTest, ForeignPointersAreIgnored) {
  void* a = ArenaAlloc(100);
  const uint32_t top = ArenaTopSize();
  Arena before;
  std::memcpy(&before, &main_arena, sizeof before);
  int local = 0;
  ArenaFree(&local);
  ArenaFree(base_ - 64);
  ArenaFree(base_ + kArenaBlockSize + 64);
  ArenaFree(static_cast<uint8_t*>(a) + 3);  // misaligned
  EXPECT_EQ(0, std::memcmp(&before, &main_arena, sizeof before));
  EXPECT_EQ(ArenaTopSize(), top);
  ArenaFree(nullptr);
  ArenaFree(a);
  ExpectFullyCoalesced();
}

TEST_F(ArenaTest, ExhaustedRequestMergesFastChunksAndRetries) {
  ASSERT_EQ(ArenaInit(base_, 1024), 1);
  std::vector<void*> blocks;
  while (void* p = ArenaAlloc(16)) blocks.push_back(p);  // 24-byte chunks until top is spent
  ASSERT_EQ(blocks.size(), 42u);
  ASSERT_LT(ArenaTopSize(), 48u + 16u);
  // Two neighbours go to the 24-byte fast bin without merging.
  ArenaFree(blocks[1]);
  ArenaFree(blocks[2]);
  // No bin holds 48 bytes and top cannot give them: only merging the fast
  // chunks, then searching again, can.
  void* merged = ArenaAlloc(40);
  EXPECT_EQ(merged, blocks[1]);
  EXPECT_EQ(ArenaChunkSize(merged), 48u);
  // With no fast chunk left to merge, the same request fails.
  EXPECT_EQ(ArenaAlloc(40), nullptr);
}

TEST_F(ArenaTest, ExhaustionGivesNullAndRecovers) {
  std::vector<void*> blocks;
  for (;;) {
    void* p = ArenaAlloc(60000);
    if (p == nullptr) break;
    blocks.push_back(p);
  }
  EXPECT_EQ(blocks.size(), kArenaBlockSize / 60008);
  // Freeing every other block leaves holes that a smaller request reuses.
  ASSERT_EQ(blocks.size() % 2, 1u);  // the last block stays, so top stays small
  for (size_t i = 1; i < blocks.size(); i += 2) ArenaFree(blocks[i]);
  EXPECT_EQ(ArenaAlloc(100000), nullptr);
  void* hole = ArenaAlloc(50000);
  EXPECT_NE(hole, nullptr);
  ArenaFree(hole);
  for (size_t i = 0; i < blocks.size(); i += 2) ArenaFree(blocks[i]);
  ExpectFullyCoalesced();
}

// Random allocations and frees against a model: blocks never overlap, stay
// inside the arena, keep their contents, and everything coalesces at the end.
TEST_F(ArenaTest, RandomWorkloadKeepsBlocksIntact) {
  std::mt19937 rng(12345);
  std::map<uint8_t*, std::pair<size_t, uint8_t>> live;
  const size_t sizes[] = {1, 8, 24, 60, 72, 100, 300, 504, 700, 2000, 9000, 70000};
  for (int step = 0; step < 20000; ++step) {
    const bool alloc = live.empty() || rng() % 100 < 55;
    if (alloc) {
      const size_t n = sizes[rng() % std::size(sizes)] + rng() % 8;
      auto* p = static_cast<uint8_t*>(ArenaAlloc(n));
      if (p == nullptr) continue;
      ASSERT_GE(p, base_ + 8);
      ASSERT_LE(p + n, base_ + kArenaBlockSize);
      ASSERT_GE(ArenaChunkSize(p), ArenaRequestSize(n));
      auto next = live.lower_bound(p);
      if (next != live.end()) {
        ASSERT_LE(p + n, next->first);
      }
      if (next != live.begin()) {
        auto prev = std::prev(next);
        ASSERT_LE(prev->first + prev->second.first, p);
      }
      const uint8_t fill = static_cast<uint8_t>(rng());
      std::memset(p, fill, n);
      live[p] = {n, fill};
    } else {
      auto it = live.begin();
      std::advance(it, rng() % live.size());
      const auto [n, fill] = it->second;
      for (size_t i = 0; i < n; ++i) ASSERT_EQ(it->first[i], fill);
      ArenaFree(it->first);
      live.erase(it);
    }
  }
  for (auto& [p, info] : live) ArenaFree(p);
  ExpectFullyCoalesced();
}

}  // namespace
}  // namespace ledview
