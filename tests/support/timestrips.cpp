#include "support/timestrips.h"

#include "ledview/billwriter.h"

namespace ledview::test {

namespace {

bill::FrameStrip Strip(uint32_t frames, uint32_t colour, uint16_t width, uint16_t height) {
  bill::FrameStrip s;
  s.count = frames;
  s.width = width;
  s.height = height;
  s.format = colour;
  s.pitch = (width + 7u) / 8u;
  s.pixels.assign(static_cast<size_t>(frames) * height * s.pitch, 0);
  for (uint32_t f = 0; f < frames; ++f)
    for (uint32_t r = 0; r < height; ++r) s.pixels[(f * height + r) * s.pitch] = static_cast<uint8_t>((f + 1) << 4);
  return s;
}

}  // namespace

std::string Glyph(int frame, char colour) {
  std::string s;
  for (int bit = 3; bit >= 0; --bit) s += ((frame + 1) >> bit) & 1 ? colour : '.';
  return s;
}

std::string Row(const std::string& text, int digitwidth, int labelwidth) {
  std::string s;
  for (char c : text) {
    const bool label = c != ':' && (c < '0' || c > '9');
    const int frame = c == ':' ? 10 : label ? c - 'a' : c - '0';
    s += Glyph(frame, label ? '2' : '1') + std::string(static_cast<size_t>((label ? labelwidth : digitwidth) - 4), '.');
  }
  return s;
}

std::vector<uint8_t> TimerBytes(uint32_t down, int16_t year, int8_t month, int8_t day, int16_t hour,
                                int8_t minute, int8_t second, const std::string& format,
                                uint16_t digitwidth) {
  bill::Timer t{down, year, month, day, hour, minute, second, {}, Strip(11, 1, digitwidth, 1)};
  format.copy(t.format, 8);
  return bill::TimerBytes(t);
}

std::vector<uint8_t> DigitalBytes(const std::string& format, uint16_t digitwidth, uint16_t labelwidth,
                                  uint16_t digitheight, uint32_t gap) {
  std::vector<uint8_t> out;
  bill::Append32(out, 1);
  std::string letters = format;
  letters.resize(8, '\0');
  out.insert(out.end(), letters.begin(), letters.end());
  const std::vector<uint8_t> digits = bill::FrameStripBytes(Strip(11, 1, digitwidth, digitheight));
  const std::vector<uint8_t> labels = bill::FrameStripBytes(Strip(11, 2, labelwidth, 1));
  const uint32_t digitsat = 20 + gap;
  const uint32_t labelsat = digitsat + static_cast<uint32_t>(digits.size()) + gap;
  bill::Append32(out, digitsat);
  bill::Append32(out, labelsat);
  out.resize(digitsat, 0xAA);
  out.insert(out.end(), digits.begin(), digits.end());
  out.resize(labelsat, 0xAA);
  out.insert(out.end(), labels.begin(), labels.end());
  return out;
}

std::vector<uint8_t> AnimationFrames(uint32_t count, int at) {
  std::vector<uint8_t> strip = bill::FrameStripBytes(Strip(count, 8, 4, 1));
  for (uint32_t f = 0; f < count; ++f) strip[16 + f] = static_cast<uint8_t>((f + 1) << (2 * at));
  return strip;
}

}  // namespace ledview::test
