// The POSIX side of the file probe, the heap block, local time and messages.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/system.h"

namespace ledview {

bool FileCanOpen(const char* path) {
  if (path == nullptr) return false;
  // Without blocking: a named pipe in a font's place must not hold the host
  // up. Only a regular file is a font file to read (a directory opens on
  // Linux too).
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  close(fd);
  return regular;
}

void* SystemHeapAlloc(size_t size) { return std::calloc(1, size); }

void SystemHeapFree(void* block) { std::free(block); }

bool SystemLocalTime(int64_t when, std::tm* out) {
  const std::time_t t = static_cast<std::time_t>(when);
  return localtime_r(&t, out) != nullptr;
}

void ShowErrorMessage(const char* text) {
  std::fprintf(stderr, "Error: %s\n", text);
  std::fflush(stderr);
}

}  // namespace ledview
