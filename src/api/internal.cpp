#include "api/internal.h"

#include "api/engine.h"
#include "content/fontdata/fontdata.h"
#include "platform/platform.h"  // the clock functions declared again in internal.h
#include "playbill/loader.h"
#include "playbill/scheduler.h"

namespace ledview {

GbTable EngineGbTable() { return GbTable{GbUnicodeTable, kGbUnicodeEntries}; }

int32_t PlayingPage() {
  if (status.enginestate != kStatePlaying) return -1;
  int32_t index = 0;
  for (const PageNode* p = billstate.first; p != nullptr; p = p->next, ++index) {
    if (p == billstate.current) return index;
  }
  return -1;
}

void ResetActionCounter() { actioncounter = 0; }

}  // namespace ledview
