/* Plays a playbill through the native library for a number of action ticks
 * (a second every 100) and prints the simulated seconds per wall second:
 * the native side of the package's performance ratio.
 *
 *   ledview_perf PLAYBILL WIDTH HEIGHT MODE FONT TICKS */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "ledview.h"

int main(int argc, char** argv) {
  if (argc != 7) {
    fprintf(stderr, "usage: ledview_perf PLAYBILL WIDTH HEIGHT MODE FONT TICKS\n");
    return 2;
  }
  const int32_t width = atoi(argv[2]), height = atoi(argv[3]), mode = atoi(argv[4]);
  const long ticks = atol(argv[6]);
  FILE* f = fopen(argv[1], "rb");
  static uint8_t bill[1 << 20];
  const size_t length = f != NULL ? fread(bill, 1, sizeof bill, f) : 0;
  if (f != NULL) fclose(f);
  uint8_t* buffer = calloc((size_t)width * (size_t)height, 1);
  if (length == 0 || buffer == NULL || ticks < 100) return 2;
  if (InitLedConfigure(width, height, mode) != 0 || SetFontPathname(argv[5]) != 0 ||
      SetBmpBuffer(width, height, width, buffer) != 0 || SetPlayBill(bill, (int32_t)length) != 0) {
    fprintf(stderr, "ledview_perf: set-up failed\n");
    return 1;
  }
  struct timespec t0, t1;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  long lit = 0;
  for (long t = 1; t <= ticks; ++t) {
    NotifyActtion();
    if (t % 100 == 0) NotifySecond();
    RefreshBuffer();
    lit += buffer[(t * 7919) % (width * height)] != 0;
  }
  clock_gettime(CLOCK_MONOTONIC, &t1);
  ReleasePreview();
  const double wall = (double)(t1.tv_sec - t0.tv_sec) + (double)(t1.tv_nsec - t0.tv_nsec) / 1e9;
  printf("%.1f\n", (double)ticks / 100.0 / wall);
  return lit >= 0 ? 0 : 1;
}
