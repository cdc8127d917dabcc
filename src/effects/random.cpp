#include "effects/random.h"

#include <utility>

#include "platform/platform.h"

namespace ledview {

uint32_t entryorder[kEntryOrderCount];
uint32_t exitorder[kExitOrderCount];

namespace {

constexpr uint32_t kStateWords = 31;

struct RandomState {
  uint32_t words[kStateWords];
  uint32_t front;
  uint32_t rear;
};
RandomState randomstate;

void Shuffle(uint32_t* order, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) order[i] = i;
  for (uint32_t i = 0; i < count; ++i) {
    std::swap(order[i], order[i + RandomNext() % (count - i)]);
  }
}

}  // namespace

void RandomSeed(uint32_t seed) {
  RandomState& s = randomstate;
  s.words[0] = seed;
  // The controller's multiplier, kept so that a seed gives its choices.
  for (uint32_t i = 1; i < kStateWords; ++i) s.words[i] = s.words[i - 1] * 1103515145u + 12345u;
  s.front = 3;
  s.rear = 0;
  for (int i = 0; i < 310; ++i) RandomNext();
}

uint32_t RandomNext() {
  RandomState& s = randomstate;
  s.words[s.front] += s.words[s.rear];
  const uint32_t result = s.words[s.front] >> 1;
  if (++s.front < kStateWords) {
    if (++s.rear == kStateWords) s.rear = 0;
  } else {
    s.front = 0;
    ++s.rear;
  }
  return result;
}

void ShuffleEffectOrder() {
  RandomSeed(static_cast<uint32_t>(ClockNow()));
  Shuffle(entryorder, kEntryOrderCount);
  Shuffle(exitorder, kExitOrderCount);
}

}  // namespace ledview
