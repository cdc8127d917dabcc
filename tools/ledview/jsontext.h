// JSON text in and out: parsing that reports where the text went wrong
// instead of throwing, and writing with the layout the descriptions use.
#pragma once
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace ledview::tool {

using Json = nlohmann::ordered_json;

// The deepest nesting of arrays and objects ParseJson takes; descriptions
// need a handful of levels.
inline constexpr int32_t kMaxJsonDepth = 64;

// Parses JSON text; false with "line L, column C: ..." in *error, or with
// the nesting limit.
bool ParseJson(const std::string& text, Json* out, std::string* error);

// JSON text with two-space indents; lists of plain values stay on one line.
std::string JsonText(const Json& json);

}  // namespace ledview::tool
