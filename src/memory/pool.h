// Fixed-size record pools over static storage. Blocks go back only through
// PoolReset, which returns a whole level of the playbill tree at once.
#pragma once
#include <cstdint>

namespace ledview {

struct Pool {
  uint8_t* storage;
  uint8_t* freehead;  // a free block holds the next free block's address
  uint32_t size;
  uint32_t count;
  uint32_t freecount;
};

inline constexpr int kPoolDescriptors = 6;

void PoolTableInit();
Pool* PoolCreate(void* storage, uint32_t count, uint32_t size);
void* PoolTake(Pool* pool);
void PoolReset(Pool* pool);

}  // namespace ledview
