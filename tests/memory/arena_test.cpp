// Exhaustion, reuse and misuse. Limits, placement, overlap, contents and recovery
// under random workloads are the arena fuzz target's job.
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
