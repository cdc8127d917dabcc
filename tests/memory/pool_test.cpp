#include <gtest/gtest.h>

#include <cstring>

#include "memory/pool.h"

namespace ledview {
namespace {

// Blocks come in address order with everything past the free-list link
// zeroed, until the pool is empty; a reset hands them out clean again.
TEST(Pool, TakesInAddressOrderUntilEmptyAndResets) {
  PoolTableInit();
  alignas(16) static uint8_t storage[4 * 16];
  std::memset(storage, 0xEE, sizeof storage);
  Pool* pool = PoolCreate(storage, 4, 16);
  ASSERT_NE(pool, nullptr);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 4; ++i) {
      auto* block = static_cast<uint8_t*>(PoolTake(pool));
      ASSERT_EQ(block, storage + 16 * i);
      for (size_t b = sizeof(void*); b < 16; ++b) ASSERT_EQ(block[b], 0) << i << " byte " << b;
      std::memset(block, 0xAB, 16);  // a user dirties it
    }
    EXPECT_EQ(PoolTake(pool), nullptr);
    EXPECT_EQ(pool->freecount, 0u);
    PoolReset(pool);
  }
}

TEST(Pool, SixDescriptorsAndBadArguments) {
  PoolTableInit();
  alignas(16) static uint8_t storage[7][64];
  EXPECT_EQ(PoolCreate(storage[0], 16, 4), nullptr);  // no room for the link
  EXPECT_EQ(PoolCreate(nullptr, 4, 16), nullptr);
  EXPECT_EQ(PoolTake(nullptr), nullptr);
  PoolReset(nullptr);
  Pool* empty = PoolCreate(storage[0], 0, 16);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(PoolTake(empty), nullptr);
  for (int i = 1; i < 6; ++i) EXPECT_NE(PoolCreate(storage[i], 4, 16), nullptr) << i;
  EXPECT_EQ(PoolCreate(storage[6], 4, 16), nullptr);
  PoolTableInit();
  EXPECT_NE(PoolCreate(storage[6], 4, 16), nullptr);
}

}  // namespace
}  // namespace ledview
