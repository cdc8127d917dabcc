// The player's records: the four node pools and the play lock.
#pragma once
#include "memory/lock.h"
#include "memory/pool.h"

namespace ledview {

struct PlayerPools {
  Pool* pages;
  Pool* areas;
  Pool* components;
  Pool* elements;
};
extern PlayerPools playerpools;
extern LockHandle playlock;

// Builds the pool table and the four pools over static storage; it cannot
// fail, as the table always has room for them.
void SetupPlayerPools();
void ResetPlayerPools();
// Returns every record, empties the timers and strings, and forgets the
// pools, the bill, the link indicator flag and the play lock.
void ReleasePlayer();

}  // namespace ledview
