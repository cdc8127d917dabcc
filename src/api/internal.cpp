#include "api/internal.h"

#include "content/fontdata/fontdata.h"
#include "platform/platform.h"  // the clock functions declared again in internal.h

namespace ledview {

GbTable EngineGbTable() { return GbTable{GbUnicodeTable, kGbUnicodeEntries}; }

}  // namespace ledview
