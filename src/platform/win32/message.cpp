#include "platform/win32/message.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ledview {

namespace {

// The unattended switch is read from the process environment block, not
// the C runtime's copy, so that a host's SetEnvironmentVariable counts too.
bool Unattended() {
  char value[8] = {};
  const DWORD n = GetEnvironmentVariableA("LEDVIEW_UNATTENDED", value, sizeof value);
  return n > 0 && n < sizeof value && std::strcmp(value, "1") == 0;
}

// A service's window station has no visible desktop: a box there would
// wait for ever.
bool InteractiveDesktop() {
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  if (station == nullptr) return false;
  if (!GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

// UTF-8 to UTF-16 into out (count wide characters); false when it does not
// convert or fit.
bool Widen(const char* text, wchar_t* out, int count) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, out, count) > 0;
}

void ToStandardError(const char* text) {
  std::fprintf(stderr, "Error: %s\n", text);
  std::fflush(stderr);
}

}  // namespace

void ShowMessageBox(void* owner, const char* caption, const char* text) {
  if (text == nullptr) return;
  if (caption == nullptr) caption = "";
  wchar_t widetext[512];
  wchar_t widecaption[64];
  if (Unattended() || !InteractiveDesktop() || !Widen(text, widetext, 512) ||
      !Widen(caption, widecaption, 64) ||
      MessageBoxW(static_cast<HWND>(owner), widetext, widecaption, MB_OK | MB_ICONSTOP) == 0) {
    ToStandardError(text);
  }
}

}  // namespace ledview
