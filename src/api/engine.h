// The engine's status block and playbill store, shared by the exported
// functions.
#pragma once
#include <cstdint>

#include "display/refresh.h"  // linkflag
#include "format/playbill.h"

namespace ledview {

enum EngineState : int32_t {
  kStateNone = 0,
  kStateConfigured = 1,
  kStateReady = 2,  // a font is loaded and an output buffer registered
  kStatePlaying = 3,
};

inline constexpr uint32_t kPlayBillStoreBytes = kPlayBillMaxBytes;

struct StatusBlock {
  int32_t enginestate;
  uint8_t* arenablock;
  int32_t fontloaded;
  int32_t bufwidth;
  int32_t bufheight;
  int32_t bufpitch;
  uint8_t* buffer;
};

extern StatusBlock status;
extern uint8_t playbillstore[kPlayBillStoreBytes];

// Unregisters buffer when it is the registered output buffer, before its
// memory goes: nothing is copied into it any more, and a ready engine is
// configured again until a new buffer is registered. Playing engines are
// left alone (EndPreview forgets their buffer).
void ForgetBmpBuffer(const uint8_t* buffer);

}  // namespace ledview
