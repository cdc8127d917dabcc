/* Plays a playbill through the library for a number of action ticks with
 * the library's clock pinned, and writes every frame (the output buffer
 * after each RefreshBuffer) to a file. Built against ledview.dll under Wine
 * and against libledview.so on Linux; the two files must be equal.
 *
 *   ledview_frames PLAYBILL WIDTH HEIGHT MODE FONT TICKS OUT
 *
 * A second passes every 100 ticks: NotifySecond, and the pinned clock moves
 * on by one second. The clock starts at 1700000000 (2023-11-14 22:13:20
 * UTC); the time zone is whatever TZ says, the same on both sides.
 *
 * Pinning: on Windows the DLL's import of the C runtime's time function is
 * pointed at the host's (its import address table, patched in memory); on
 * Linux the host defines time() itself and exports it (-rdynamic), so the
 * shared library's calls resolve to it. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "ledview.h"

static long long pinned = 1700000000LL;

#if defined(_WIN32)
#include <windows.h>

static __time64_t __cdecl pinned_time64(__time64_t* out) {
  if (out != NULL) *out = (__time64_t)pinned;
  return (__time64_t)pinned;
}

static __time32_t __cdecl pinned_time32(__time32_t* out) {
  if (out != NULL) *out = (__time32_t)pinned;
  return (__time32_t)pinned;
}

/* Points every import of name by module at replacement; the count patched. */
static int patch_import(HMODULE module, const char* name, void* replacement) {
  BYTE* base = (BYTE*)module;
  IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  int patched = 0;
  if (dir.VirtualAddress == 0) return 0;
  for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress); d->Name != 0; ++d) {
    IMAGE_THUNK_DATA* names =
        (IMAGE_THUNK_DATA*)(base + (d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk));
    IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      IMAGE_IMPORT_BY_NAME* byname = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
      if (strcmp((const char*)byname->Name, name) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) continue;
      slots->u1.Function = (ULONG_PTR)replacement;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      ++patched;
    }
  }
  return patched;
}

static int pin_clock(void) {
  HMODULE dll = GetModuleHandleA("ledview.dll");
  if (dll == NULL) return 0;
  return patch_import(dll, "_time64", (void*)pinned_time64) + patch_import(dll, "_time32", (void*)pinned_time32) +
         patch_import(dll, "time", (void*)pinned_time64);
}
#else
time_t time(time_t* out) {
  if (out != NULL) *out = (time_t)pinned;
  return (time_t)pinned;
}

static int pin_clock(void) { return time(NULL) == (time_t)pinned; }
#endif

static long read_file(const char* path, unsigned char** data) {
  FILE* f = fopen(path, "rb");
  long n = -1;
  if (f == NULL) return -1;
  if (fseek(f, 0, SEEK_END) == 0 && (n = ftell(f)) > 0 && fseek(f, 0, SEEK_SET) == 0) {
    *data = malloc((size_t)n);
    if (*data == NULL || fread(*data, 1, (size_t)n, f) != (size_t)n) n = -1;
  }
  fclose(f);
  return n;
}

int main(int argc, char** argv) {
  if (argc != 8) {
    fprintf(stderr, "usage: ledview_frames PLAYBILL WIDTH HEIGHT MODE FONT TICKS OUT\n");
    return 2;
  }
  const int32_t width = atoi(argv[2]), height = atoi(argv[3]), mode = atoi(argv[4]);
  const long ticks = atol(argv[6]);
  unsigned char* bill = NULL;
  const long length = read_file(argv[1], &bill);
  if (length < 0 || width < 1 || height < 1 || ticks < 1) {
    fprintf(stderr, "ledview_frames: bad arguments or unreadable %s\n", argv[1]);
    return 2;
  }
  if (pin_clock() == 0) {
    fprintf(stderr, "ledview_frames: the library's clock could not be pinned\n");
    return 1;
  }
  const size_t frame = (size_t)width * (size_t)height;
  uint8_t* buffer = calloc(frame, 1);
  uint8_t* last = calloc(frame, 1);
  FILE* out = fopen(argv[7], "wb");
  if (buffer == NULL || last == NULL || out == NULL) return 1;
  int32_t r;
  if ((r = InitLedConfigure(width, height, mode)) != 0 || (r = SetFontPathname(argv[5])) != 0 ||
      (r = SetBmpBuffer(width, height, width, buffer)) != 0 || (r = SetPlayBill(bill, (int32_t)length)) != 0) {
    fprintf(stderr, "ledview_frames: set-up failed (%d)\n", (int)r);
    return 1;
  }
  long changes = 0, lit = 0;
  for (long t = 1; t <= ticks; ++t) {
    NotifyActtion();
    if (t % 100 == 0) {
      ++pinned;
      NotifySecond();
    }
    RefreshBuffer();
    if (memcmp(buffer, last, frame) != 0) ++changes;
    memcpy(last, buffer, frame);
    for (size_t i = 0; i < frame; ++i) lit += buffer[i] != 0;
    if (fwrite(buffer, 1, frame, out) != frame) return 1;
  }
  ReleasePreview();
  if (fclose(out) != 0) return 1;
  /* A picture that never changes or never lights would compare equal for
   * the wrong reason. */
  printf("%ld frames of %dx%d, %ld changes, %ld lit LED-frames\n", ticks, (int)width, (int)height, changes, lit);
  return changes > 0 && lit > 0 ? 0 : 1;
}
