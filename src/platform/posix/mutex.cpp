#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "platform/platform.h"

namespace ledview {

struct PlatformMutex {
  std::mutex guard;
  std::condition_variable freed;
  std::thread::id owner;
  uint32_t depth = 0;
};

PlatformMutex* MutexCreateOwned() {
  auto* mutex = new (std::nothrow) PlatformMutex;
  if (mutex == nullptr) return nullptr;
  mutex->owner = std::this_thread::get_id();
  mutex->depth = 1;
  return mutex;
}

MutexWaitResult MutexWait(PlatformMutex* mutex, uint32_t timeoutms) {
  if (mutex == nullptr) return MutexWaitResult::Failed;
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock<std::mutex> hold(mutex->guard);
  auto available = [&] { return mutex->depth == 0 || mutex->owner == self; };
  if (!available()) {
    if (timeoutms == 0 ||
        !mutex->freed.wait_for(hold, std::chrono::milliseconds(timeoutms), available)) {
      return MutexWaitResult::Timeout;
    }
  }
  mutex->owner = self;
  ++mutex->depth;
  return MutexWaitResult::Acquired;
}

bool MutexRelease(PlatformMutex* mutex) {
  if (mutex == nullptr) return false;
  std::lock_guard<std::mutex> hold(mutex->guard);
  if (mutex->depth == 0 || mutex->owner != std::this_thread::get_id()) return false;
  if (--mutex->depth == 0) {
    mutex->owner = std::thread::id();
    mutex->freed.notify_all();
  }
  return true;
}

void MutexClose(PlatformMutex* mutex) { delete mutex; }

}  // namespace ledview
