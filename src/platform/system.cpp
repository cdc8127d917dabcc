#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

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

namespace {
// Allocations still to succeed before one fails; -1 when none is to fail.
int64_t heapfailcountdown = -1;
}  // namespace

void* HeapBlockAlloc(size_t size) {
  if (heapfailcountdown >= 0 && heapfailcountdown-- == 0) return nullptr;
  return std::calloc(1, size);
}

void HeapBlockFree(void* block) { std::free(block); }

void HeapBlockFailNext() { heapfailcountdown = 0; }

void HeapBlockFailAfter(uint32_t successes) { heapfailcountdown = successes; }

void ShowErrorMessage(const char* text) {
  std::fprintf(stderr, "Error: %s\n", text);
  std::fflush(stderr);
}

}  // namespace ledview
