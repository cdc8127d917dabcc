#include "ledview/signals.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

namespace ledview::tool {

std::atomic<int> stopsignal{0};

namespace {

std::atomic<int> exitwithinms{-1};

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

void WaitForSignals() {
  const sigset_t set = StopSet();
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    stopsignal = signal;
    const int within = exitwithinms;
    if (within < 0) continue;
    std::this_thread::sleep_for(std::chrono::milliseconds(within));
    // The orderly stop did not finish in time: whatever still runs (a
    // rebuild, a client) is abandoned. Only a server arms this, and it
    // writes no files.
    std::fputs("ledview: stopped\n", stderr);
    std::fflush(stdout);
    _exit(0);
  }
}

}  // namespace

void HoldStopSignals() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void ReleaseStopSignals() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void CatchStopSignals() {
  static std::once_flag once;
  std::call_once(once, [] {
    HoldStopSignals();
    std::thread(WaitForSignals).detach();
  });
}

void ExitWithinAfterStop(int ms) { exitwithinms = ms; }

}  // namespace ledview::tool
