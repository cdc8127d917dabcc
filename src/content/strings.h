// The table of live strings that hosts replace while a playbill plays.
#pragma once
#include "memory/lock.h"

namespace ledview {

extern LockHandle stringlock;

// Creates the table's lock; called once per engine set-up.
void InitStringTable();

}  // namespace ledview
