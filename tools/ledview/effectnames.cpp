#include "ledview/effectnames.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "effects/effectlist.h"
#include "format/playbill.h"

namespace ledview::tool {

namespace {

// Every slot with its name, what it does and its family, from the engine's
// effect lists.
#define LEDVIEW_EFFECT_INFO(slot, function, named, family, words) {named ? #function : "", words, family},
constexpr EffectInfo kEntryEffects[kEntrySlotCount] = {LEDVIEW_ENTRY_EFFECTS(LEDVIEW_EFFECT_INFO)};
constexpr EffectInfo kExitEffects[kExitSlotCount] = {LEDVIEW_EXIT_EFFECTS(LEDVIEW_EFFECT_INFO)};
#undef LEDVIEW_EFFECT_INFO

// Letters two names differ by (insertions, deletions and changes), case aside.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

}  // namespace

int32_t EntryEffectByName(const std::string& name) {
  if (strcasecmp(name.c_str(), "random") == 0) return kEntryEffectRandom;
  for (int32_t i = 0; i < kEntrySlotCount; ++i) {
    if (kEntryEffects[i].name[0] != '\0' && strcasecmp(name.c_str(), kEntryEffects[i].name) == 0) return i;
  }
  return -1;
}

int32_t ExitEffectByName(const std::string& name) {
  if (strcasecmp(name.c_str(), "none") == 0) return 0;
  if (strcasecmp(name.c_str(), "random") == 0) return static_cast<int32_t>(kExitEffectRandom);
  for (int32_t i = 0; i < kExitSlotCount; ++i) {
    if (strcasecmp(name.c_str(), kExitEffects[i].name) == 0) return i + 1;
  }
  return -1;
}

std::string EntryEffectName(uint32_t value) {
  if (value == kEntryEffectRandom) return "random";
  return value < kEntryEffectRandom ? kEntryEffects[value].name : "";
}

std::string ExitEffectName(uint32_t value) {
  if (value == 0) return "none";
  if (value == kExitEffectRandom) return "random";
  return value < kExitEffectRandom ? kExitEffects[value - 1].name : "";
}

std::span<const EffectInfo> EntryEffectTable() { return kEntryEffects; }
std::span<const EffectInfo> ExitEffectTable() { return kExitEffects; }

std::string ClosestEffectNames(const std::string& name, bool entry) {
  std::vector<std::pair<size_t, std::string>> scored;
  for (const EffectInfo& e : entry ? EntryEffectTable() : ExitEffectTable()) {
    if (e.name[0] != '\0') scored.emplace_back(Distance(name, e.name), e.name);
  }
  scored.emplace_back(Distance(name, "random"), "random");
  if (!entry) scored.emplace_back(Distance(name, "none"), "none");
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (size_t i = 0; i < scored.size() && i < 3; ++i) {
    if (i > 0 && scored[i].first > scored[0].first + 2) break;
    out += (i == 0 ? "" : ", ") + scored[i].second;
  }
  return out;
}

std::string ClosestName(const std::string& name, std::span<const char* const> names) {
  // Near enough to be a slip: a third of the letters, at least two.
  size_t best = std::max<size_t>(2, name.size() / 3) + 1;
  std::string found;
  for (const char* candidate : names) {
    const size_t d = Distance(name, candidate);
    if (d < best) {
      best = d;
      found = candidate;
    }
  }
  return found;
}

}  // namespace ledview::tool
