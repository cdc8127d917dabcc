// The arena allocator: exhaustion, reuse of freed holes, merging of free
// neighbours and misuse by the caller.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
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
  std::vector<uint8_t> block_;
  uint8_t* base_ = nullptr;
};

// Exhausted, it gives null; freed holes then serve requests that fit them though the top cannot.
TEST_F(ArenaTest, ExhaustionGivesNullAndHolesAreReused) {
  std::vector<void*> blocks;
  while (void* p = ArenaAlloc(60000)) blocks.push_back(p);
  ASSERT_EQ(blocks.size() % 2, 1u);  // the last block stays, so top stays small
  for (size_t i = 1; i < blocks.size(); i += 2) ArenaFree(blocks[i]);
  EXPECT_EQ(ArenaAlloc(100000), nullptr);
  EXPECT_NE(ArenaAlloc(50000), nullptr);
}

// A freed chunk joins its free neighbours on both sides, whether it is freed
// straight into the bins or gathered later from the fast bins, and the joined
// chunk serves a request for all three whole.
TEST_F(ArenaTest, FreeNeighboursMergeOnBothSidesAndAreReusedWhole) {
  // Chunks above the fast-bin limit merge as they are freed: the middle one last.
  {
    void* a = ArenaAlloc(1000);
    void* b = ArenaAlloc(1000);
    void* c = ArenaAlloc(1000);
    ASSERT_NE(ArenaAlloc(1000), nullptr);  // keeps c away from the top
    const uint32_t chunk = ArenaChunkSize(a);
    ArenaFree(a);
    ArenaFree(c);
    ArenaFree(b);
    void* whole = ArenaAlloc(3 * chunk - 11);
    EXPECT_EQ(whole, a);
    EXPECT_EQ(ArenaChunkSize(whole), 3 * chunk);
  }
  // Fast-bin chunks merge when a large request gathers them; the gathering
  // order is the reverse of the freeing order, so each order tests one side.
  // 48-byte chunks, and 72-byte ones, the largest the fast bins keep.
  for (const auto& [request, size] : {std::pair<size_t, uint32_t>{40, 48}, {64, 72}}) {
    for (const bool forward : {true, false}) {
      SCOPED_TRACE(testing::Message() << (forward ? "merged with the next chunk" : "merged with the previous chunk")
                                      << ", requests of " << request);
      void* small[3];
      for (void*& p : small) p = ArenaAlloc(request);
      ASSERT_NE(ArenaAlloc(request), nullptr);
      const uint32_t chunk = ArenaChunkSize(small[0]);
      ASSERT_EQ(chunk, size);
      for (int i = 0; i < 3; ++i) ArenaFree(small[forward ? i : 2 - i]);
      ASSERT_NE(ArenaAlloc(600), nullptr);  // gathers the fast bins
      void* whole = ArenaAlloc(3 * chunk - 11);
      EXPECT_EQ(whole, small[0]);
      EXPECT_EQ(ArenaChunkSize(whole), 3 * chunk);
    }
  }
}

// Freeing what the arena never handed out changes nothing.
TEST_F(ArenaTest, ForeignPointersAreIgnored) {
  void* a = ArenaAlloc(100);
  Arena before;
  std::memcpy(&before, &main_arena, sizeof before);
  int local = 0;
  void* const foreign[] = {&local, base_ - 64, base_ + kArenaBlockSize + 64, static_cast<uint8_t*>(a) + 3, nullptr};
  for (void* p : foreign) ArenaFree(p);
  EXPECT_EQ(0, std::memcmp(&before, &main_arena, sizeof before));
}

}  // namespace
}  // namespace ledview
