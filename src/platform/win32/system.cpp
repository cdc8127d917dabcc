// The Win32 side of the file probe, the heap block, local time and the
// error message.
#include <windows.h>

#include <ctime>

#include "platform/platform.h"
#include "platform/system.h"
#include "platform/win32/message.h"

namespace ledview {

bool FileCanOpen(const char* path) {
  if (path == nullptr) return false;
  // Opened for reading, shared with nobody, and closed again at once.
  // Only a file on disk is a font file: a console, a serial port or a pipe
  // client in a font's place is refused (none of them waits for data here).
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool regular = GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  return regular;
}

void* SystemHeapAlloc(size_t size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void SystemHeapFree(void* block) { HeapFree(GetProcessHeap(), 0, block); }

bool SystemLocalTime(int64_t when, std::tm* out) {
  // The C runtime's local time (its time zone: TZ when set, else the
  // system's); localtime_s writes into the caller's record.
  const __time64_t t = when;
  return _localtime64_s(out, &t) == 0;
}

void ShowErrorMessage(const char* text) { ShowMessageBox(nullptr, "Error", text); }

}  // namespace ledview
