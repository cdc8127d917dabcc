#include "support/picture.h"

#include <cctype>
#include <cstring>
#include <sstream>
#include <vector>

#include "display/framebuffer.h"
#include "display/ledconfig.h"

namespace ledview::test {

static char PixelChar(int32_t x, int32_t y) {
  const uint8_t depth = ledconfig.depth;
  const uint8_t byte = *PixelAddress(static_cast<uint32_t>(x), static_cast<uint32_t>(y), depth);
  if (depth == 1) return (byte & PixelBit(static_cast<uint32_t>(y))) != 0 ? '#' : '.';
  return byte == 0 ? '.' : byte < 16 ? "0123456789abcdef"[byte] : '?';
}

static std::vector<std::string> Lines(const std::string& picture) {
  std::vector<std::string> lines;
  std::istringstream in(picture);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ReadPicture(int32_t x, int32_t y, int32_t w, int32_t h) {
  std::string out;
  for (int32_t r = 0; r < h; ++r) {
    if (r > 0) out += '\n';
    for (int32_t c = 0; c < w; ++c) out += PixelChar(x + c, y + r);
  }
  return out;
}

std::string NormalisePicture(const std::string& picture) {
  std::string out;
  for (const std::string& line : Lines(picture)) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    if (!out.empty()) out += '\n';
    out += line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
  }
  return out;
}

testing::AssertionResult PictureAt(int32_t x, int32_t y, const std::string& expected) {
  const std::vector<std::string> want = Lines(NormalisePicture(expected));
  if (want.empty()) return testing::AssertionFailure() << "the expected picture is empty";
  const std::vector<std::string> got =
      Lines(ReadPicture(x, y, static_cast<int32_t>(want[0].size()), static_cast<int32_t>(want.size())));
  if (got == want) return testing::AssertionSuccess();
  testing::AssertionResult diff = testing::AssertionFailure();
  diff << "region at (" << x << ", " << y << ")\n  expected    actual\n";
  for (size_t r = 0; r < want.size(); ++r) diff << (want[r] == got[r] ? "  " : "> ") << want[r] << "  " << got[r] << '\n';
  return diff;
}

std::string BitZeroLit(const std::string& values) {
  std::string out = NormalisePicture(values);
  for (char& c : out) {
    if (std::isxdigit(static_cast<unsigned char>(c))) c = std::stoi(std::string(1, c), nullptr, 16) & 1 ? '#' : '.';
  }
  return out;
}

void FillFrameBuffer(uint8_t value) {
  std::memset(framebuffer.pixels, ledconfig.depth == 1 ? 0xFF : value, sizeof framebuffer.pixels);
}

}  // namespace ledview::test
