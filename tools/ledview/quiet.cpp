#include "ledview/quiet.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace ledview::tool {

bool showenginelines = false;

void Quietly(const std::function<void()>& call) {
  if (showenginelines) {
    call();
    return;
  }
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved < 0 || devnull < 0) {
    if (saved >= 0) close(saved);
    if (devnull >= 0) close(devnull);
    call();
    return;
  }
  dup2(devnull, STDOUT_FILENO);
  close(devnull);
  call();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
}

}  // namespace ledview::tool
