#include "playbill/player.h"

#include <cstring>

#include "content/strings.h"
#include "display/refresh.h"
#include "playbill/loader.h"
#include "playbill/nodes.h"
#include "playbill/scheduler.h"

namespace ledview {

PlayerPools playerpools;
LockHandle playlock = nullptr;

namespace {
alignas(16) uint8_t pagestore[kPagePoolCount * sizeof(PageNode)];
alignas(16) uint8_t areastore[kAreaPoolCount * sizeof(AreaNode)];
alignas(16) uint8_t componentstore[kComponentPoolCount * sizeof(ComponentNode)];
alignas(16) uint8_t elementstore[kElementPoolCount * sizeof(ElementNode)];

// PoolCreate refuses only a full descriptor table, missing storage or a block
// too small for the free-list link; none of these can happen here.
static_assert(kPoolDescriptors >= 4, "the pool table holds the player's four pools");
static_assert(sizeof(PageNode) >= sizeof(void*) && sizeof(AreaNode) >= sizeof(void*) &&
              sizeof(ComponentNode) >= sizeof(void*) && sizeof(ElementNode) >= sizeof(void*));
}  // namespace

void SetupPlayerPools() {
  PoolTableInit();
  playerpools.pages = PoolCreate(pagestore, kPagePoolCount, sizeof(PageNode));
  playerpools.areas = PoolCreate(areastore, kAreaPoolCount, sizeof(AreaNode));
  playerpools.components = PoolCreate(componentstore, kComponentPoolCount, sizeof(ComponentNode));
  playerpools.elements = PoolCreate(elementstore, kElementPoolCount, sizeof(ElementNode));
}

void ResetPlayerPools() {
  PoolReset(playerpools.pages);
  PoolReset(playerpools.areas);
  PoolReset(playerpools.components);
  PoolReset(playerpools.elements);
}

void ReleasePlayer() {
  ClearTimers();
  ResetPlayerPools();
  ClearStrings();
  billstate = BillState{};
  std::memset(pagestore, 0, sizeof pagestore);
  std::memset(areastore, 0, sizeof areastore);
  std::memset(componentstore, 0, sizeof componentstore);
  std::memset(elementstore, 0, sizeof elementstore);
  playerpools = PlayerPools{};
  linkflag = 0;
  loaderror = 0;
  playlock = nullptr;
}

}  // namespace ledview
