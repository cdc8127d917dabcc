// The table of live strings that hosts replace while a playbill plays. String
// text elements register their text under an id; UpdateString replaces it and
// raises its version, and the element re-renders when it sees a higher one.
#pragma once
#include <cstdint>

#include "memory/lock.h"

namespace ledview {

inline constexpr uint32_t kStringSlots = 128;
inline constexpr uint32_t kStringTextBytes = 256;  // 255 bytes and a NUL at most

struct StringSlot {
  uint32_t inuse;
  uint32_t version;
  uint32_t id;
  char text[kStringTextBytes];
};

// Slot 0 is never filled, so at most 127 strings live at once.
extern StringSlot stringtable[kStringSlots];
extern LockHandle stringlock;

// Creates the table's lock; called once per engine set-up.
void InitStringTable();

// Stores or replaces the text of id (at most 255 bytes of it) and raises the
// live-string refresh bit. The new version, or -1 for a null text, a length
// below 1, a negative id or a full table.
int32_t PutString(uint32_t id, const uint8_t* text, int32_t length);
// The version of id (0 when absent); *text points at its text or is null.
uint32_t FindString(uint32_t id, const char** text);
void ClearStrings();

}  // namespace ledview
