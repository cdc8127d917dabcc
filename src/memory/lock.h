// The engine's mutex layer. Every lock is owned by the thread that made it;
// waits are zero-timeout attempts whose failure is reported and then ignored,
// so misuse from another thread shows on standard output but never blocks.
#pragma once
#include <cstdint>

namespace ledview {

struct PlatformMutex;
using LockHandle = PlatformMutex*;

inline constexpr int kLockRegistrySize = 100;
inline constexpr uint32_t kLockKindArena = 2;
inline constexpr uint32_t kLockKindStrings = 6;
inline constexpr uint32_t kLockKindPlay = 7;

struct LockRegistry {
  LockHandle handles[kLockRegistrySize];
  uint32_t count;
};
extern LockRegistry lockregistry;

LockHandle LockCreate(uint32_t kind);
// status receives 0 when acquired, 255 otherwise. timeout is in units of
// ten seconds.
void LockWait(LockHandle handle, uint32_t timeout, uint32_t* status);
void LockRelease(LockHandle handle);
void LockReleaseAll();

}  // namespace ledview
