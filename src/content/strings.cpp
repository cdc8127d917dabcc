#include "content/strings.h"

namespace ledview {

LockHandle stringlock = nullptr;

void InitStringTable() { stringlock = LockCreate(kLockKindStrings); }

}  // namespace ledview
