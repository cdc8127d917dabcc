// The arena's limits, exhaustion and recovery. Placement, overlap and
// contents under random workloads are the arena fuzz target's job.
#include <gtest/gtest.h>

#include <cstring>
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

TEST_F(ArenaTest, RequestLimits) {
  EXPECT_EQ(ArenaAlloc(kArenaRequestLimit), nullptr);
  EXPECT_EQ(ArenaAlloc(kArenaBlockSize), nullptr);
  // The largest request leaves exactly 16 bytes of top behind it.
  void* p = ArenaAlloc(kArenaBlockSize - 16 - 4);
  ASSERT_EQ(p, base_ + 8);
  EXPECT_EQ(ArenaTopSize(), 16u);
  EXPECT_EQ(ArenaAlloc(1), nullptr);
  ArenaFree(p);
  EXPECT_EQ(ArenaTopSize(), kArenaBlockSize);
}

TEST_F(ArenaTest, ExhaustionGivesNullAndRecovers) {
  std::vector<void*> blocks;
  while (void* p = ArenaAlloc(60000)) blocks.push_back(p);
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

TEST_F(ArenaTest, ForeignPointersAreIgnored) {
  void* a = ArenaAlloc(100);
  Arena before;
  std::memcpy(&before, &main_arena, sizeof before);
  int local = 0;
  for (void* p : {static_cast<void*>(&local), static_cast<void*>(base_ - 64),
                  static_cast<void*>(base_ + kArenaBlockSize + 64),
                  static_cast<void*>(static_cast<uint8_t*>(a) + 3), static_cast<void*>(nullptr)}) {
    ArenaFree(p);
  }
  EXPECT_EQ(0, std::memcmp(&before, &main_arena, sizeof before));
  ArenaFree(a);
  ExpectFullyCoalesced();
}

}  // namespace
}  // namespace ledview
