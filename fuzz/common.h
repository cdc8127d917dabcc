// Small helpers the fuzz targets share: a reader that takes the input from
// the front and yields zeros once it is used up, a checked abort, and
// temporary files for paths the engine is to open.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ledview::fuzz {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;

  bool Empty() const { return pos >= size; }
  size_t Left() const { return pos < size ? size - pos : 0; }
  uint8_t U8() { return pos < size ? data[pos++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
  uint32_t U32() { return static_cast<uint32_t>(U16()) | static_cast<uint32_t>(U16()) << 16; }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // Up to n bytes in place; *got tells how many there were.
  const uint8_t* Take(size_t n, size_t* got) {
    const uint8_t* at = data + (pos < size ? pos : size);
    *got = n < Left() ? n : Left();
    pos += *got;
    return at;
  }
};

// A broken promise of the engine: report it and crash so that libFuzzer keeps
// the input.
[[noreturn]] inline void Fail(const char* what, long long got, long long want) {
  std::fprintf(stderr, "ledview fuzz check failed: %s (got %lld, expected %lld)\n", what, got, want);
  std::abort();
}
inline void Expect(bool ok, const char* what, long long got = 0, long long want = 0) {
  if (!ok) Fail(what, got, want);
}

// A file of n bytes under /tmp named after stem; the caller unlinks it. A
// target that cannot write one cannot check what it was made for.
inline std::string WriteTemp(const char* stem, const void* bytes, size_t n) {
  std::string path = "/tmp/" + std::string(stem) + "-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) Fail("a temporary file", 0, 0);
  const bool ok = write(fd, bytes, n) == static_cast<ssize_t>(n);
  close(fd);
  if (!ok) Fail("writing a temporary file", 0, 0);
  return path;
}

}  // namespace ledview::fuzz
