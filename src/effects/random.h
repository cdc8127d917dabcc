// The engine's one additive random generator, and the random effect orders
// it shuffles at every playbill load.
#pragma once
#include <cstdint>

namespace ledview {

inline constexpr uint32_t kEntryOrderCount = 45;
inline constexpr uint32_t kExitOrderCount = 9;
// A random exit starts at one of the first seven places of its order.
inline constexpr uint32_t kRandomExitChoices = 7;

// Permutations of the entry slots 0..44 and the exit slots 0..8 that random
// effects walk through.
extern uint32_t entryorder[kEntryOrderCount];
extern uint32_t exitorder[kExitOrderCount];

void RandomSeed(uint32_t seed);
// 0 .. 2^31 - 1.
uint32_t RandomNext();

// Reseeds from the clock and shuffles both orders.
void ShuffleEffectOrder();

}  // namespace ledview
