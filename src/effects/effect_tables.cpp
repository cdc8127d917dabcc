// The two effect tables, made from the effect lists: an element's entry
// effect number selects its entry slot directly; exit slots are the exit
// effect number less one.
#include "effects/effectlist.h"
#include "effects/effects.h"

namespace ledview {

#define LEDVIEW_EFFECT_FUNCTION(slot, function, named, family, words) function,
constinit const EffectFunction EntryEffects[kEntryEffectCount] = {
    LEDVIEW_ENTRY_EFFECTS(LEDVIEW_EFFECT_FUNCTION)};
constinit const EffectFunction ExitEffects[kExitEffectCount] = {
    LEDVIEW_EXIT_EFFECTS(LEDVIEW_EFFECT_FUNCTION)};
#undef LEDVIEW_EFFECT_FUNCTION

}  // namespace ledview
