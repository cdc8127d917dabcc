// `ledview check`: the engine's own validation of a playbill for a sign,
// then one line for every object.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ledview/describe.h"

namespace ledview::tool {

// Runs InitLedConfigure and TestPlayBillData (their messages go to standard
// output as the engine prints them), prints the code and a summary of every
// object to `out`, and checks the counts the engine can play. True only when
// the engine would take the playbill.
// `described` are the description's own warnings, printed with the rest;
// `font` is the outline font file the strings are checked against ("": not
// checked).
bool CheckBill(const std::vector<uint8_t>& bytes, int32_t width, int32_t height, int32_t mode,
               std::FILE* out, const std::vector<std::string>& described = {},
               const std::string& font = "");

}  // namespace ledview::tool
