// The engine's one arena: a boundary-tag allocator with fast bins, an
// unsorted bin, exact small bins and sorted large bins over a single block.
// It never asks the system for more memory; exhaustion gives null.
//
// Chunks keep two 32-bit header words (prev_size, size with bit 0 set when the
// previous chunk is in use); free chunks link through 32-bit offsets from the
// block's base, so the smallest chunk is 16 bytes on every platform.
#pragma once
#include <cstddef>
#include <cstdint>

#include "memory/lock.h"

namespace ledview {

inline constexpr uint32_t kArenaBlockSize = 4194304;
inline constexpr size_t kArenaRequestLimit = 10485760;
inline constexpr uint32_t kArenaNil = 0xFFFFFFFFu;  // empty fast-bin link / no last remainder

struct ArenaBin {
  uint32_t fd;  // first member (or the head itself when empty)
  uint32_t bk;  // last member
};

struct Arena {
  LockHandle lock;
  uint32_t max_fast;    // 72; bit 0 set while every fast bin is empty
  uint32_t fastbins[10];
  uint32_t top;
  uint32_t last_remainder;
  ArenaBin bins[128];   // 1 unsorted, 2..63 small, 64..127 large
  uint32_t binmap[4];
  uint8_t* base;
  uint32_t size;
};
extern Arena main_arena;

int ArenaInit(void* block, size_t size);
void* ArenaAlloc(size_t n);
void ArenaFree(void* p);

// Internal views for tests and diagnostics.
uint32_t ArenaRequestSize(size_t n);
uint32_t ArenaLargeBinIndex(uint32_t size);
uint32_t ArenaChunkSize(const void* p);  // size of the chunk holding p
uint32_t ArenaTopSize();

}  // namespace ledview
