#include "platform/platform.h"
#include "platform/system.h"

namespace ledview {

namespace {
// Allocations still to succeed before one fails; -1 when none is to fail.
int64_t heapfailcountdown = -1;
}  // namespace

void* HeapBlockAlloc(size_t size) {
  if (heapfailcountdown >= 0 && heapfailcountdown-- == 0) return nullptr;
  return SystemHeapAlloc(size);
}

void HeapBlockFree(void* block) {
  if (block != nullptr) SystemHeapFree(block);
}

void HeapBlockFailNext() { heapfailcountdown = 0; }

void HeapBlockFailAfter(uint32_t successes) { heapfailcountdown = successes; }

}  // namespace ledview
