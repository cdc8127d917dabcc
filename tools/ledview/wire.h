// What a page receives of a frame: the LEDs as runs, in base64.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::tool {

// Bytes as base64 text, with padding.
std::string Base64(const std::vector<uint8_t>& bytes);

// One byte a run of equal LEDs, the colour value (0..7) in its low three
// bits and the run's length less one in its high five, the bytes in base64.
std::string EncodeLeds(const std::vector<uint8_t>& leds);
// False when the text is not base64 or its runs do not make `count` LEDs.
bool DecodeLeds(const std::string& text, size_t count, std::vector<uint8_t>* leds);

}  // namespace ledview::tool
