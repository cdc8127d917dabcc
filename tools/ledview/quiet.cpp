#include "ledview/quiet.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace ledview::tool {

bool showenginelines = false;

QuietStdout::QuietStdout() {
  if (showenginelines) return;
  std::fflush(stdout);
  saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved >= 0 && null >= 0) dup2(null, STDOUT_FILENO);
  if (null >= 0) close(null);
}

QuietStdout::~QuietStdout() {
  if (saved < 0) return;
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
}

}  // namespace ledview::tool
