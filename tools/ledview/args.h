// Values the command line gives as text: sizes, start times, live strings.
#pragma once
#include <cstdint>
#include <string>

#include "ledview/render.h"

namespace ledview::tool {

// WIDTHxHEIGHT, both at least 1.
bool ParseSize(const std::string& text, int32_t* width, int32_t* height);
// "YYYY-MM-DD hh:mm:ss" in local time, seconds since 1970, or "now" (also
// an empty text).
bool ParseStart(const std::string& text, int64_t* start);
// ID=TEXT@SECONDS: the text (UTF-8) in the engine's codes and the moment in
// milliseconds.
bool ParseString(const std::string& text, StringUpdate* out, std::string* error);

}  // namespace ledview::tool
