#include "platform/platform.h"
#include "platform/system.h"

namespace ledview {

void* HeapBlockAlloc(size_t size) {
  if (HeapFailDue()) return nullptr;
  return SystemHeapAlloc(size);
}

void HeapBlockFree(void* block) {
  if (block != nullptr) SystemHeapFree(block);
}

}  // namespace ledview
