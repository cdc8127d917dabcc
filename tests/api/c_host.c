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

static void put16(uint8_t* p, uint16_t v) {
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}

static void put32(uint8_t* p, uint32_t v) {
  put16(p, (uint16_t)v);
  put16(p + 2, (uint16_t)(v >> 16));
}

/* One page, one area, one component, one analog clock element: 120 bytes. */
static void make_playbill(uint8_t* b) {
  memset(b, 0, 120);
  put32(b + 0, 0x80000000u);
  put32(b + 8, 108); /* pages */
  put32(b + 12, 0x40000000u);
  put32(b + 24, 92); /* areas */
  put32(b + 28, 0x20000000u);
  put16(b + 36, 32);
  put16(b + 38, 16);
  put32(b + 44, 72); /* components */
  put32(b + 48, 0x08000000u);
  put16(b + 56, 32);
  put16(b + 58, 16);
  put32(b + 64, 52); /* elements */
  put32(b + 68, 0x04000000u);
  put16(b + 72, 4);  /* analog clock */
  put32(b + 88, 28); /* payload */
}

int main(int argc, char** argv) {
  static uint8_t playbill[120];
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
  make_playbill(playbill);
  expect(TestPlayBillData(playbill, 120), 0, "TestPlayBillData");
  expect(UpdateString(1, "x", 1), -1, "UpdateString before play");
  expect(SetPlayBill(playbill, 120), 0, "SetPlayBill");
  memset(picture, 0x5A, sizeof picture);
  for (int i = 0; i < 9; ++i) NotifyActtion();
  NotifySecond();
  RefreshBuffer();
  /* Every byte is copied: the clock face lit, the rest dark. */
  size_t lit = 0;
  for (size_t i = 0; i < sizeof picture; ++i) {
    if (picture[i] > 1) {
      fprintf(stderr, "picture byte %u not copied\n", (unsigned)i);
      ++failures;
      break;
    }
    lit += picture[i];
  }
  if (lit == 0 || picture[16 * 32 - 1] != 0) {
    fprintf(stderr, "no clock face in the top-left square (%u lit)\n", (unsigned)lit);
    ++failures;
  }
  expect(UpdateString(1, "live", 4), 1, "UpdateString while playing");
  ShowLink();
  HideLink();
  expect(EndPreview(), 0, "EndPreview");
  expect(ReleasePreview(), 0, "ReleasePreview");
  expect(InitLedConfigure(32, 16, 4), 0, "InitLedConfigure after release");
  expect(ReleasePreview(), 0, "second ReleasePreview");
  /* The window family without a window: refused, and ticks do nothing. */
  LEDPreview_NotifyActtion();
  LEDPreview_NotifySecond();
  expect(LEDPreview_InitLedConfigure(NULL, 32, 16, 1, argv[1]), -1, "LEDPreview_InitLedConfigure without window");
  expect(LEDPreview_SetPlayBill(NULL, 0), -1, "LEDPreview_SetPlayBill without data");
  expect(LEDPreview_EndPreview(), 0, "LEDPreview_EndPreview");
  expect(LEDPreview_ReleasePreview(), 0, "LEDPreview_ReleasePreview");
  if (failures == 0) printf("c_host: ok\n");
  return failures == 0 ? 0 : 1;
}
