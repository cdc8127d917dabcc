// What the renderers need from the scheduler that drives them: its refresh
// bits, its timers and its way of asking for a step. Reached through this
// record so that content does not depend on the playbill layer above it; the
// scheduler fills it when the engine is set up.
#pragma once
#include <cstdint>

namespace ledview {

// Refresh bits.
inline constexpr uint32_t kRefreshAction = 0x80000000u;  // the action interval elapsed
inline constexpr uint32_t kRefreshSecond = 0x40000000u;  // a second elapsed
inline constexpr uint32_t kRefreshString = 0x20000000u;  // a live string changed
inline constexpr uint32_t kRefreshPage = 8;              // the page's play time is over
inline constexpr uint32_t kRefreshComponent = 2;         // a component's element finished
inline constexpr uint32_t kRefreshElement = 1;           // an element asked to be run

struct PlayServices {
  // Arm a timer of count action ticks (or seconds) that ORs flag into
  // *target when it fires: 1 when armed (or count 0), 0 when the table is full.
  int32_t (*addticktimer)(uint32_t count, uint32_t flag, uint32_t* target);
  int32_t (*addsecondtimer)(uint32_t count, uint32_t flag, uint32_t* target);
  // Asks for a step with these bits while a page plays.
  void (*raiserefresh)(uint32_t bits);
  // The bits of the step now running.
  const uint32_t* refreshflags;
};
extern PlayServices playservices;

inline uint32_t StepFlags() { return playservices.refreshflags != nullptr ? *playservices.refreshflags : 0; }

}  // namespace ledview
