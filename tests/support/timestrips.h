// Payloads of the timer, the digital clock and the animation built from
// image strips whose frames read back from a picture.
//
// Frame f of a strip shows f + 1 in binary over its first four pixels (high
// bit first) on every row, in the strip's 1-bit colour; wider frames are
// dark beyond that. In Row(), '0'..'9' are digit frames and ':' the
// separator (frame 10) in colour 1, 'a'..'k' label frames 0..10 in colour 2.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ledview::test {

// The four pixels of frame f in colour c ('.' dark).
std::string Glyph(int frame, char colour);
// The pixels of a row of digit and label frames of the given widths.
std::string Row(const std::string& text, int digitwidth = 4, int labelwidth = 4);

// Timer: direction, target fields, up to 8 format letters, an 11-frame
// digit strip in colour 1.
std::vector<uint8_t> TimerBytes(uint32_t down, int16_t year, int8_t month, int8_t day, int16_t hour,
                                int8_t minute, int8_t second, const std::string& format,
                                uint16_t digitwidth = 4);
// Digital clock: format letters, a digit strip in colour 1 and a label strip
// in colour 2, each `gap` bytes after what precedes it (unaligned offsets).
std::vector<uint8_t> DigitalBytes(const std::string& format, uint16_t digitwidth = 4,
                                  uint16_t labelwidth = 4, uint16_t digitheight = 1, uint32_t gap = 0);
// An animation strip (format 8, four pixels wide, one row) whose frame f
// lights pixel `at` in colour f + 1.
std::vector<uint8_t> AnimationFrames(uint32_t count, int at = 0);

// Calendar seconds of a local date and time, whatever the machine's zone.
inline int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return ClockFromLocal(&t);
}

}  // namespace ledview::test
