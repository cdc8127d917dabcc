#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "memory/pool.h"

namespace ledview {
namespace {

bool ZeroAfterLink(const void* block, size_t size) {
  const auto* b = static_cast<const uint8_t*>(block);
  for (size_t i = sizeof(void*); i < size; ++i) {
    if (b[i] != 0) return false;
  }
  return true;
}

TEST(Pool, TakesInAddressOrderUntilEmptyAndResets) {
  PoolTableInit();
  alignas(16) static uint8_t storage[16 * 16];
  std::memset(storage, 0xEE, sizeof storage);
  Pool* pool = PoolCreate(storage, 16, 16);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->freecount, 16u);

  std::vector<uint8_t*> taken;
  for (int i = 0; i < 16; ++i) {
    auto* block = static_cast<uint8_t*>(PoolTake(pool));
    ASSERT_EQ(block, storage + 16 * i);
    EXPECT_TRUE(ZeroAfterLink(block, 16));
    std::memset(block, 0xAB, 16);  // a user dirties it
    taken.push_back(block);
  }
  EXPECT_EQ(PoolTake(pool), nullptr);
  EXPECT_EQ(pool->freecount, 0u);

  PoolReset(pool);
  EXPECT_EQ(pool->freecount, 16u);
  for (int i = 0; i < 16; ++i) {
    auto* block = static_cast<uint8_t*>(PoolTake(pool));
    ASSERT_EQ(block, taken[i]);
    EXPECT_TRUE(ZeroAfterLink(block, 16)) << "block " << i;
  }
  EXPECT_EQ(PoolTake(pool), nullptr);
}

TEST(Pool, SixDescriptorsAtMost) {
  PoolTableInit();
  alignas(16) static uint8_t storage[7][64];
  for (int i = 0; i < 6; ++i) EXPECT_NE(PoolCreate(storage[i], 4, 16), nullptr) << i;
  EXPECT_EQ(PoolCreate(storage[6], 4, 16), nullptr);
  PoolTableInit();
  EXPECT_NE(PoolCreate(storage[6], 4, 16), nullptr);
}

TEST(Pool, NullAndUndersizedArguments) {
  PoolTableInit();
  EXPECT_EQ(PoolTake(nullptr), nullptr);
  PoolReset(nullptr);
  alignas(16) static uint8_t storage[64];
  // A block too small for the free-list link cannot make a pool.
  EXPECT_EQ(PoolCreate(storage, 16, 4), nullptr);
  EXPECT_EQ(PoolCreate(nullptr, 4, 16), nullptr);
  Pool* empty = PoolCreate(storage, 0, 16);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(PoolTake(empty), nullptr);
}

}  // namespace
}  // namespace ledview
