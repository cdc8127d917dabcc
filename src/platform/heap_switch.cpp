// The heap's test switch. The internals build the tests link compiles it
// with LEDVIEW_TEST_SWITCHES: allocations can then be made to fail on
// purpose. The shipped library compiles it without, and never fails one.
#include "platform/platform.h"

namespace ledview {

#ifdef LEDVIEW_TEST_SWITCHES

namespace {
// Allocations still to succeed before one fails; -1 when none is to fail.
int64_t heapfailcountdown = -1;
}  // namespace

bool HeapFailDue() { return heapfailcountdown >= 0 && heapfailcountdown-- == 0; }

void HeapBlockFailNext() { heapfailcountdown = 0; }

void HeapBlockFailAfter(uint32_t successes) { heapfailcountdown = successes; }

#else

bool HeapFailDue() { return false; }

#endif

}  // namespace ledview
