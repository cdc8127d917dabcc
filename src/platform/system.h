// What each operating system's side of the platform layer provides to the
// parts shared by both (platform/posix or platform/win32, chosen by the
// build). Not for the modules above.
#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>

namespace ledview {

// Zero-filled block from the process heap, or null; and its release.
void* SystemHeapAlloc(size_t size);
void SystemHeapFree(void* block);
// The C runtime's local broken-down time of a calendar time.
bool SystemLocalTime(int64_t when, std::tm* out);

}  // namespace ledview
