// The engine's internal interface: the few entry points beyond the public
// header that its own command needs. Everything else inside the engine is
// private to it; its tests, benchmarks and fuzz targets look inside on
// purpose.
#pragma once
#include <cstdint>

namespace ledview {

// The calendar clock that clocks, timers and the random seed read: simulated
// from `start` (seconds since 1970) and moved on only by ClockAdvance, or the
// machine's own again.
void ClockSimulate(int64_t start);
void ClockAdvance(int64_t seconds);
void ClockUseReal();

// The engine's GB2312 to Unicode table, 94 entries a row: leads 0xA1..0xA9
// are rows 0..8, leads 0xB0..0xF7 rows 9..80; U+3000 where nothing is
// assigned.
struct GbTable {
  const uint16_t* entries;
  int32_t count;
};
GbTable EngineGbTable();

// The page the engine is playing, counted from 0; -1 before its first step
// and while no playbill plays.
int32_t PlayingPage();

// Starts the count of NotifyActtion calls towards the next action step from
// 0, as a freshly loaded engine has it. The exported functions keep the
// count across releases, as hosts know it; the command starts every new
// show from 0 so that one show plays alike in any process.
void ResetActionCounter();

}  // namespace ledview
