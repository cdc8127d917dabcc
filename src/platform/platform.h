// The few operating-system services the engine needs: an owned recursive
// mutex, a file probe, the heap block, calendar time and an error message.
// platform/posix and platform/win32 hold each system's side; the build
// compiles one of them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>

namespace ledview {

struct PlatformMutex;

enum class MutexWaitResult { Acquired, Timeout, Failed };

// A mutex owned by the calling thread from the moment it exists; recursive
// for its owner. Null when it cannot be made.
PlatformMutex* MutexCreateOwned();
// Waits at most timeoutms milliseconds; 0 is a single attempt.
MutexWaitResult MutexWait(PlatformMutex* mutex, uint32_t timeoutms);
// Undoes one acquisition by the calling thread; false when it holds none.
bool MutexRelease(PlatformMutex* mutex);
void MutexClose(PlatformMutex* mutex);

// True when path names a regular file that can be opened for reading.
bool FileCanOpen(const char* path);

// Zero-filled block from the process heap, or null.
void* HeapBlockAlloc(size_t size);
void HeapBlockFree(void* block);
// True when the allocation being made is to fail; never in the shipped
// library.
bool HeapFailDue();
// Test builds only: makes the next HeapBlockAlloc fail, so that callers'
// out-of-memory paths can be exercised; HeapBlockFailAfter lets that many
// succeed first.
void HeapBlockFailNext();
void HeapBlockFailAfter(uint32_t successes);

// Calendar time in seconds, and its local broken-down form.
int64_t ClockNow();
bool ClockLocalTime(int64_t when, std::tm* out);
// Calendar time of a local date and time; out-of-range fields are carried
// into the next larger ones (day 32 of January is February 1st), and the
// fields are rewritten normalised. Whether summer time applies is worked
// out from the date.
int64_t ClockFromLocal(std::tm* fields);
// Runs the clock from a caller-chosen start instead of the machine's clock;
// ClockAdvance moves it on. Internal: the exported engine never sets it.
void ClockSimulate(int64_t start);
void ClockAdvance(int64_t seconds);
void ClockUseReal();

// An error the user should see. Linux: one line on standard error. Windows:
// a modal message box, caption "Error", stop icon, owned by no window; one
// line on standard error instead when the run is unattended (see
// ShowWindowMessage).
void ShowErrorMessage(const char* text);

}  // namespace ledview
