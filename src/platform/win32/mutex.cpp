// The mutex layer on Win32 mutexes: owned by their creator, recursive for
// the owner, waited on with WaitForSingleObject.
#include <windows.h>

#include "platform/platform.h"

namespace ledview {

namespace {
HANDLE HandleOf(PlatformMutex* mutex) { return reinterpret_cast<HANDLE>(mutex); }
}  // namespace

PlatformMutex* MutexCreateOwned() {
  HANDLE handle = CreateMutexA(nullptr, TRUE, nullptr);
  return reinterpret_cast<PlatformMutex*>(handle);
}

MutexWaitResult MutexWait(PlatformMutex* mutex, uint32_t timeoutms) {
  if (mutex == nullptr) return MutexWaitResult::Failed;
  switch (WaitForSingleObject(HandleOf(mutex), timeoutms)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its last owner ended without releasing it: ours now
      return MutexWaitResult::Acquired;
    case WAIT_TIMEOUT:
      return MutexWaitResult::Timeout;
    default:
      return MutexWaitResult::Failed;
  }
}

bool MutexRelease(PlatformMutex* mutex) {
  return mutex != nullptr && ReleaseMutex(HandleOf(mutex)) != 0;
}

void MutexClose(PlatformMutex* mutex) {
  if (mutex != nullptr) CloseHandle(HandleOf(mutex));
}

}  // namespace ledview
