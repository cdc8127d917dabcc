// What a valid show does on the sign that its author may not expect: one
// line each, "warning: <object path>: <what happens, and what to do>".
// check prints them with its report; build, render and serve print them
// once on standard error.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "billfile/billwriter.h"
#include "ledview/stepper.h"

namespace ledview::tool {

// The sign the show plays on, and the live strings a render sets.
struct ShowFacts {
  int32_t width = 128;
  int32_t height = 32;
  int32_t mode = 1;
  std::vector<StringUpdate> strings;
  // The outline font file strings above 16 px are drawn with; "": not checked.
  std::string font;
};

// The characters of the strings the outline font draws (those above 16 px),
// each once; a text the engine's codes cannot say is left out.
std::vector<uint32_t> OutlineChars(const bill::Bill& b);
std::vector<uint32_t> OutlineChars(const std::vector<uint8_t>& bytes);

// Second timers the engine has: one a page's playtime takes, the rest for
// elements and components that wait in seconds.
inline constexpr int32_t kSecondTimers = 16;

std::vector<std::string> ShowWarnings(const bill::Bill& b, const ShowFacts& facts);
// The warning for live string `id` set by `what` while pages[page], which
// does not show it, is up `when` ("then", "now").
std::string LiveStringLost(const std::string& what, int32_t page, int32_t id, const char* when);
// The same for playbill bytes; none when they are not a readable playbill.
std::vector<std::string> ShowWarnings(const std::vector<uint8_t>& bytes, const ShowFacts& facts);

// Prints lines on `out` as "ledview: LINE", for the commands that are not
// check.
void PrintWarnings(const std::vector<std::string>& lines, std::FILE* out);

}  // namespace ledview::tool
