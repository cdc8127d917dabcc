// The engine prints its scan-environment lines on standard output when it is
// set up. They stay in the library for hosts; the command keeps them off its
// own output unless asked for them (--verbose).
#pragma once

namespace ledview::tool {

extern bool showenginelines;

// Sends standard output to /dev/null while it lives, unless showenginelines.
struct QuietStdout {
  int saved = -1;
  QuietStdout();
  ~QuietStdout();
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;
};

}  // namespace ledview::tool
