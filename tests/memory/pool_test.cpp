#include <gtest/gtest.h>

#include <cstring>

#include "memory/pool.h"

namespace ledview {
namespace {

// Blocks come in address order with everything past the free-list link zeroed, until the pool is empty;
// a reset hands them out clean again. Six descriptors in all; bad arguments give null.
TEST(Pool, TakesInOrderResetsAndRefusesBadArguments) {
  PoolTableInit();
  alignas(16) static uint8_t storage[7][64];
  std::memset(storage, 0xEE, sizeof storage);
  Pool* pool = PoolCreate(storage[0], 4, 16);
  ASSERT_NE(pool, nullptr);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 4; ++i) {
      auto* block = static_cast<uint8_t*>(PoolTake(pool));
      ASSERT_EQ(block, storage[0] + 16 * i);
      for (size_t b = sizeof(void*); b < 16; ++b) ASSERT_EQ(block[b], 0) << i << " byte " << b;
      std::memset(block, 0xAB, 16);  // a user dirties it
    }
    EXPECT_EQ(PoolTake(pool), nullptr);
    PoolReset(pool);
  }

  EXPECT_EQ(PoolCreate(storage[1], 16, sizeof(void*) - 1), nullptr);  // no room for the link
  EXPECT_EQ(PoolCreate(nullptr, 4, 16), nullptr);
  EXPECT_EQ(PoolTake(nullptr), nullptr);
  PoolReset(nullptr);
  EXPECT_EQ(PoolTake(PoolCreate(storage[1], 0, 16)), nullptr);  // empty, but it takes the second descriptor
  for (int i = 2; i < 6; ++i) EXPECT_NE(PoolCreate(storage[i], 4, 16), nullptr) << i;
  EXPECT_EQ(PoolCreate(storage[6], 4, 16), nullptr);
  PoolTableInit();
  EXPECT_NE(PoolCreate(storage[6], 4, 16), nullptr);
}

}  // namespace
}  // namespace ledview
