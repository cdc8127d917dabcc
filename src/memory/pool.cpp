#include "memory/pool.h"

#include <cstring>

namespace ledview {

namespace {

Pool descriptors[kPoolDescriptors];
Pool* unassigned = nullptr;

void LinkBlocks(Pool* pool) {
  std::memset(pool->storage, 0, static_cast<size_t>(pool->count) * pool->size);
  for (uint32_t i = 0; i < pool->count; ++i) {
    uint8_t* block = pool->storage + static_cast<size_t>(i) * pool->size;
    uint8_t* next = i + 1 < pool->count ? block + pool->size : nullptr;
    std::memcpy(block, &next, sizeof next);
  }
  pool->freehead = pool->count > 0 ? pool->storage : nullptr;
  pool->freecount = pool->count;
}

}  // namespace

void PoolTableInit() {
  std::memset(descriptors, 0, sizeof descriptors);
  for (int i = 0; i + 1 < kPoolDescriptors; ++i) {
    descriptors[i].freehead = reinterpret_cast<uint8_t*>(&descriptors[i + 1]);
  }
  unassigned = &descriptors[0];
}

Pool* PoolCreate(void* storage, uint32_t count, uint32_t size) {
  // A block must hold the free-list link.
  if (unassigned == nullptr || storage == nullptr || size < sizeof(void*)) return nullptr;
  Pool* pool = unassigned;
  unassigned = reinterpret_cast<Pool*>(pool->freehead);
  pool->storage = static_cast<uint8_t*>(storage);
  pool->size = size;
  pool->count = count;
  LinkBlocks(pool);
  return pool;
}

void* PoolTake(Pool* pool) {
  if (pool == nullptr || pool->freecount == 0 || pool->freehead == nullptr) return nullptr;
  uint8_t* block = pool->freehead;
  std::memcpy(&pool->freehead, block, sizeof pool->freehead);
  --pool->freecount;
  return block;
}

void PoolReset(Pool* pool) {
  if (pool == nullptr || pool->storage == nullptr) return;
  LinkBlocks(pool);
}

}  // namespace ledview
