#include "memory/lock.h"

#include <cstdio>

#include "platform/platform.h"

namespace ledview {

LockRegistry lockregistry;

namespace {
uint32_t HandleWord(LockHandle handle) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}
}  // namespace

LockHandle LockCreate(uint32_t /*kind*/) {
  LockHandle handle = nullptr;
  if (lockregistry.count < kLockRegistrySize) handle = MutexCreateOwned();
  if (handle == nullptr) {
    // No line end: the message stays exactly as hosts have always seen it.
    std::printf("Create mutex error.");
    std::fflush(stdout);
    return nullptr;
  }
  for (LockHandle& slot : lockregistry.handles) {
    if (slot == nullptr) {
      slot = handle;
      break;
    }
  }
  ++lockregistry.count;
  return handle;
}

void LockWait(LockHandle handle, uint32_t timeout, uint32_t* status) {
  uint32_t result = 255;
  if (handle != nullptr) {
    switch (MutexWait(handle, timeout * 10000u)) {
      case MutexWaitResult::Acquired:
        result = 0;
        break;
      case MutexWaitResult::Timeout:
        std::printf("Wait for mutex timeout. hMutex = 0x%x\n", HandleWord(handle));
        std::fflush(stdout);
        break;
      case MutexWaitResult::Failed:
        std::printf("Wait for mutex error. hMutex = 0x%x\n", HandleWord(handle));
        std::fflush(stdout);
        break;
    }
  }
  if (status != nullptr) *status = result;
}

void LockRelease(LockHandle handle) {
  if (handle != nullptr) MutexRelease(handle);
}

void LockReleaseAll() {
  for (LockHandle& slot : lockregistry.handles) {
    if (slot == nullptr) continue;
    MutexRelease(slot);
    MutexClose(slot);
    slot = nullptr;
  }
  lockregistry.count = 0;
}

}  // namespace ledview
