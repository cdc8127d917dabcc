#include "content/strings.h"

#include <cstring>

#include "content/playservices.h"

namespace ledview {

StringSlot stringtable[kStringSlots];
LockHandle stringlock = nullptr;

namespace {

// Every table operation runs under the lock; a failed wait is reported by the
// lock layer and the work goes on.
struct TableLock {
  TableLock() {
    uint32_t status = 0;
    LockWait(stringlock, 0, &status);
  }
  ~TableLock() { LockRelease(stringlock); }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
};

void StoreText(StringSlot& slot, const uint8_t* text, int32_t length) {
  const size_t n = length < 255 ? static_cast<size_t>(length) : 255;
  std::memset(slot.text, 0, sizeof slot.text);
  std::memcpy(slot.text, text, n);
}

}  // namespace

void InitStringTable() { stringlock = LockCreate(kLockKindStrings); }

int32_t PutString(uint32_t id, const uint8_t* text, int32_t length) {
  if (text == nullptr || length < 1 || static_cast<int32_t>(id) < 0) return -1;
  int32_t version = -1;
  {
    TableLock lock;
    for (uint32_t i = 1; i < kStringSlots && version < 0; ++i) {
      StringSlot& slot = stringtable[i];
      if (slot.inuse && slot.id == id) {
        StoreText(slot, text, length);
        version = static_cast<int32_t>(++slot.version);
      }
    }
    for (uint32_t i = 1; i < kStringSlots && version < 0; ++i) {
      StringSlot& slot = stringtable[i];
      if (!slot.inuse) {
        slot.inuse = 1;
        StoreText(slot, text, length);
        slot.id = id;
        slot.version = 1;
        version = 1;
      }
    }
  }
  if (version < 0) return -1;
  playservices.raiserefresh(kRefreshString);
  return version;
}

uint32_t FindString(uint32_t id, const char** text) {
  if (text != nullptr) *text = nullptr;
  TableLock lock;
  for (StringSlot& slot : stringtable) {
    if (slot.inuse && slot.id == id) {
      if (text != nullptr) *text = slot.text;
      return slot.version;
    }
  }
  return 0;
}

void ClearStrings() {
  TableLock lock;
  std::memset(stringtable, 0, sizeof stringtable);
}

}  // namespace ledview
