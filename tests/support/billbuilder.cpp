#include "support/billbuilder.h"

#include <cstring>

namespace ledview::test {

static bill::FrameStrip PatternStrip(uint32_t count, uint16_t width, uint16_t height, uint32_t format, uint32_t pitch) {
  bill::FrameStrip s{count, width, height, format, pitch, {}};
  for (uint32_t f = 0; f < count; ++f) s.pixels.resize(s.pixels.size() + size_t{pitch} * height, uint8_t(f + 1));
  return s;
}

// Rows of '#' as 1-bit rows of `pitch` bytes, most significant bit leftmost.
static void PackRows(std::vector<uint8_t>& out, const std::vector<std::string>& rows, uint32_t pitch) {
  for (const std::string& row : rows) {
    const size_t at = out.size();
    out.resize(at + pitch, 0);
    for (size_t x = 0; x < row.size(); ++x) out[at + x / 8] |= row[x] == '#' ? uint8_t(0x80 >> (x % 8)) : 0;
  }
}

std::vector<uint8_t> PicturePayload(const std::vector<std::string>& rows, uint32_t format) {
  const auto width = static_cast<uint16_t>(rows.empty() ? 0 : rows[0].size());
  bill::BmpBlock b{width, static_cast<uint16_t>(rows.size()), format, (width + 7u) / 8u, {}};
  PackRows(b.rows, rows, b.pitch);
  return bill::BmpBlockBytes(b);
}

std::vector<uint8_t> PagesPayload(const std::vector<std::vector<std::string>>& pages, uint32_t format) {
  const auto width = static_cast<uint16_t>(pages.at(0).at(0).size());
  bill::FrameStrip s{static_cast<uint32_t>(pages.size()), width, static_cast<uint16_t>(pages[0].size()),
                     format, (width + 7u) / 8u, {}};
  for (const auto& page : pages) PackRows(s.pixels, page, s.pitch);
  return bill::FrameStripBytes(s);
}

std::vector<uint8_t> BitmapPayload(uint16_t width, uint16_t height, uint32_t format, uint32_t pitch) {
  bill::BmpBlock b{width, height, format, pitch == 0 ? (width + 7u) / 8u : pitch, {}};
  b.rows.assign(size_t{b.pitch} * height, 0xA5);
  return bill::BmpBlockBytes(b);
}

std::vector<uint8_t> StringPayload(uint16_t id, const std::string& text, uint32_t fontsize, uint32_t colour,
                                   uint16_t singleline) {
  return bill::StringTextBytes(
      {.id = id, .singleline = singleline, .colour = colour, .text = text, .fontsize = fontsize});
}

std::vector<uint8_t> StripBytes(uint32_t count, uint16_t width, uint16_t height, uint32_t format, uint32_t pitch) {
  return bill::FrameStripBytes(PatternStrip(count, width, height, format, pitch));
}

std::vector<uint8_t> TimerPayload(const char format[8], uint16_t digitwidth, uint16_t digitheight) {
  bill::Timer t;  // counts down to 2030-01-01 00:00:00
  std::memcpy(t.format, format, 8);
  t.digits = PatternStrip(11, digitwidth, digitheight, 1, (digitwidth + 7u) / 8u);
  return bill::TimerBytes(t);
}

std::vector<uint8_t> ClockPayload(uint32_t marks, uint32_t minormarks, uint32_t hour, uint32_t minute,
                                  uint32_t second) {
  return bill::AnalogClockBytes(
      {.marks = marks, .minormarks = minormarks, .hour = hour, .minute = minute, .second = second});
}

std::vector<uint8_t> DigitalClockPayload(const char format[8]) {
  bill::DigitalClock c;
  std::memcpy(c.format, format, 8);
  c.digits = PatternStrip(11, 4, 8, 1, 1);
  c.labels = PatternStrip(11, 8, 8, 1, 1);
  return bill::DigitalClockBytes(c);
}

}  // namespace ledview::test
