/* A host written in C: the header must compile as C and the shared library
 * must link and run on its own. */
#include <stdio.h>
#include <string.h>

#include "ledview.h"

static int failures = 0;

static void expect(int32_t got, int32_t want, const char* what) {
  if (got != want) {
    fprintf(stderr, "%s: got %d, want %d\n", what, (int)got, (int)want);
    ++failures;
  }
}

int main(int argc, char** argv) {
  static uint8_t picture[32 * 16];
  if (argc < 2) {
    fprintf(stderr, "usage: c_host FONT\n");
    return 2;
  }
  expect(SetBmpBuffer(32, 16, 32, picture), -4, "buffer before set-up");
  expect(InitLedConfigure(32, 16, 1), 0, "InitLedConfigure");
  expect(InitLedConfigure(32, 16, 1), -4, "second InitLedConfigure");
  expect(SetFontPathname(argv[1]), 0, "SetFontPathname");
  expect(SetBmpBuffer(32, 16, 32, picture), 0, "SetBmpBuffer");
  ShowLink();
  HideLink();
  expect(EndPreview(), 0, "EndPreview");
  expect(ReleasePreview(), 0, "ReleasePreview");
  expect(InitLedConfigure(32, 16, 4), 0, "InitLedConfigure after release");
  expect(ReleasePreview(), 0, "second ReleasePreview");
  if (failures == 0) printf("c_host: ok\n");
  return failures == 0 ? 0 : 1;
}
