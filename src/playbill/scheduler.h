// The playback scheduler. The host's ticks only count and raise refresh
// bits; each RefreshBuffer that finds bits pending runs one PlayStep, which
// changes pages, moves components on to their next element, calls every
// current element's renderer and animates the borders.
#pragma once
#include <cstdint>

#include "content/playservices.h"  // the refresh bits
#include "playbill/nodes.h"

namespace ledview {

// Bits raised since the last step, and the bits of the step now running.
extern uint32_t pendingflags;
extern uint32_t refreshflags;

// A timer fires after count ticks (or seconds): it ORs flag into *target and
// into pendingflags and frees itself. count 0 marks a free slot.
struct TimerSlot {
  uint32_t count;
  uint32_t elapsed;
  uint32_t flag;
  uint32_t* target;
};
inline constexpr uint32_t kTickTimers = 64;
inline constexpr uint32_t kSecondTimers = 16;
extern TimerSlot ticktimers[kTickTimers];
extern TimerSlot secondtimers[kSecondTimers];

// NotifyActtion calls since the last action bit; never cleared by stop or
// release. The bit is raised when the counter passes actionlimit.
extern int32_t actioncounter;
extern int32_t actionlimit;

void OnActionTick();
void OnSecondTick();
// 1 when armed (or count 0, which arms nothing); 0 when the table is full.
int32_t AddTickTimer(uint32_t count, uint32_t flag, uint32_t* target);
int32_t AddSecondTimer(uint32_t count, uint32_t flag, uint32_t* target);
// Frees the first slot aiming at target in the second table, then the first
// in the tick table.
void CancelTimers(const uint32_t* target);
void ClearTimers();
uint32_t TakeRefreshFlags();
// Raises bits only while a page is current.
void RaiseRefresh(uint32_t bits);

// Hands the renderers the timers, the refresh bits and RaiseRefresh.
void BindPlayServices();

void PlayStep();
void PlayArea(AreaNode* area);
void PlayComponent(ComponentNode* component, uint32_t staticflag);
// Releases every started element, border and record of the playing bill.
void StopPlay();

}  // namespace ledview
