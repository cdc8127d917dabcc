// Message boxes on Windows, or standard error when nobody can answer them.
#pragma once

namespace ledview {

// A modal box with the stop icon (MessageBoxW: UTF-8 texts converted to
// UTF-16, so they read alike on every code page), owned by owner (an HWND
// or null). Standard error instead, one line "Error: TEXT" in UTF-8, when
// LEDVIEW_UNATTENDED is 1, when the process's window station is not
// visible (a service), or when the box cannot be shown.
void ShowMessageBox(void* owner, const char* caption, const char* text);

}  // namespace ledview
