// The engine prints its scan-environment lines on standard output when it is
// set up. They stay in the library for hosts; the command keeps them off its
// own output unless asked for them (--verbose).
#pragma once
#include <functional>

namespace ledview::tool {

extern bool showenginelines;

// Runs call with standard output sent to /dev/null, unless showenginelines.
void Quietly(const std::function<void()>& call);

}  // namespace ledview::tool
