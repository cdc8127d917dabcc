#include "support/timestrips.h"

namespace ledview::test {

namespace {

void Append32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Append16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

std::vector<uint8_t> TestStrip(uint32_t frames, uint32_t colour, uint16_t width, uint16_t height) {
  const uint32_t pitch = (width + 7u) / 8u;
  std::vector<uint8_t> out;
  Append32(out, frames);
  Append16(out, width);
  Append16(out, height);
  Append32(out, colour);
  Append32(out, pitch);
  for (uint32_t f = 0; f < frames; ++f) {
    for (uint32_t r = 0; r < height; ++r) {
      out.push_back(static_cast<uint8_t>((f + 1) << 4));
      out.resize(out.size() + pitch - 1, 0);
    }
  }
  return out;
}

std::string Glyph(int frame, char colour) {
  std::string s;
  for (int bit = 3; bit >= 0; --bit) s += ((frame + 1) >> bit) & 1 ? colour : '.';
  return s;
}

std::string Row(const std::string& text, int digitwidth, int labelwidth) {
  std::string s;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      s += Glyph(c - '0', '1') + std::string(static_cast<size_t>(digitwidth - 4), '.');
    } else if (c == ':') {
      s += Glyph(10, '1') + std::string(static_cast<size_t>(digitwidth - 4), '.');
    } else {
      s += Glyph(c - 'a', '2') + std::string(static_cast<size_t>(labelwidth - 4), '.');
    }
  }
  return s;
}

std::vector<uint8_t> TimerBytes(uint32_t down, int16_t year, int8_t month, int8_t day, int16_t hour,
                                int8_t minute, int8_t second, const std::string& format,
                                uint16_t digitwidth) {
  std::vector<uint8_t> out;
  Append32(out, down);
  Append16(out, static_cast<uint16_t>(year));
  out.push_back(static_cast<uint8_t>(month));
  out.push_back(static_cast<uint8_t>(day));
  Append16(out, static_cast<uint16_t>(hour));
  out.push_back(static_cast<uint8_t>(minute));
  out.push_back(static_cast<uint8_t>(second));
  std::string letters = format;
  letters.resize(8, '\0');
  out.insert(out.end(), letters.begin(), letters.end());
  const std::vector<uint8_t> digits = TestStrip(11, 1, digitwidth);
  out.insert(out.end(), digits.begin(), digits.end());
  return out;
}

std::vector<uint8_t> DigitalBytes(const std::string& format, uint16_t digitwidth,
                                  uint16_t labelwidth, uint16_t digitheight, uint32_t gap) {
  std::vector<uint8_t> out;
  Append32(out, 1);
  std::string letters = format;
  letters.resize(8, '\0');
  out.insert(out.end(), letters.begin(), letters.end());
  const std::vector<uint8_t> digits = TestStrip(11, 1, digitwidth, digitheight);
  const std::vector<uint8_t> labels = TestStrip(11, 2, labelwidth);
  const uint32_t digitsat = 20 + gap;
  const uint32_t labelsat = digitsat + static_cast<uint32_t>(digits.size()) + gap;
  Append32(out, digitsat);
  Append32(out, labelsat);
  out.resize(digitsat, 0xAA);
  out.insert(out.end(), digits.begin(), digits.end());
  out.resize(labelsat, 0xAA);
  out.insert(out.end(), labels.begin(), labels.end());
  return out;
}

}  // namespace ledview::test
