// Image strips whose frames can be read back from a picture, and payloads of
// the timer and the digital clock built from them.
//
// Frame f of a strip shows f + 1 in binary over its first four pixels (high
// bit first) on every row, in the strip's 1-bit colour; wider frames are
// dark beyond that. So a row of digits reads back through Row():
// '0'..'9' are digit frames and ':' the separator (frame 10) in colour 1,
// 'a'..'k' are label frames 0..10 in colour 2.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::test {

std::vector<uint8_t> TestStrip(uint32_t frames, uint32_t colour, uint16_t width = 4,
                               uint16_t height = 1);
// An animation strip (format 8, four pixels wide, one row) whose frame f
// lights pixel `at` in colour f + 1.
std::vector<uint8_t> AnimationFrames(uint32_t count, int at = 0);
// The four pixels of frame f in colour c ('.' dark).
std::string Glyph(int frame, char colour);
// The pixels of a row of digit and label frames, each `digitwidth` and
// `labelwidth` pixels wide.
std::string Row(const std::string& text, int digitwidth = 4, int labelwidth = 4);

// Timer: direction, target fields, 8 format letters, an 11-frame digit
// strip in colour 1.
std::vector<uint8_t> TimerBytes(uint32_t down, int16_t year, int8_t month, int8_t day, int16_t hour,
                                int8_t minute, int8_t second, const std::string& format,
                                uint16_t digitwidth = 4);
// Digital clock: format letters (padded with zeros to 8), a digit strip in
// colour 1 and a label strip in colour 2, each placed `gap` bytes after
// what precedes it so that the strips can sit at unaligned offsets.
std::vector<uint8_t> DigitalBytes(const std::string& format, uint16_t digitwidth = 4,
                                  uint16_t labelwidth = 4, uint16_t digitheight = 1,
                                  uint32_t gap = 0);

}  // namespace ledview::test
