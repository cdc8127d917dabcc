// Entry and exit effects by name, as descriptions and reports say them.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace ledview::tool {

// Effect numbers by name: entry effects 0..52 and "random" (53); exit
// effects "none" (0), 1..9 and "random" (10). -1 when the name is unknown.
int32_t EntryEffectByName(const std::string& name);
int32_t ExitEffectByName(const std::string& name);
// The name of an effect number, or "" when it has none of its own.
std::string EntryEffectName(uint32_t value);
std::string ExitEffectName(uint32_t value);

// An effect's name ("" for a slot that goes by number), a few words on what
// it does and the family of effects that work alike, by slot: entry slots
// 0..52, exit slots 0..8 (exit value slot + 1).
struct EffectInfo {
  const char* name;
  const char* words;
  const char* family;
};
std::span<const EffectInfo> EntryEffectTable();
std::span<const EffectInfo> ExitEffectTable();

// Up to three names closest to a mistyped one, comma-separated.
std::string ClosestEffectNames(const std::string& name, bool entry);

// The one of `names` closest to a mistyped name, case aside, when it is
// near enough to be a slip; otherwise "".
std::string ClosestName(const std::string& name, std::span<const char* const> names);

}  // namespace ledview::tool
