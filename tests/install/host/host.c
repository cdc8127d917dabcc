#include <stdio.h>

#include <ledview.h>

int main(int argc, char** argv) {
  static uint8_t picture[64 * 32];
  if (argc < 2) return 2;
  if (InitLedConfigure(64, 32, 2) != 0) return 1;
  if (SetFontPathname(argv[1]) != 0) return 1;
  if (SetBmpBuffer(64, 32, 64, picture) != 0) return 1;
  if (ReleasePreview() != 0) return 1;
  printf("host: ok\n");
  return 0;
}
