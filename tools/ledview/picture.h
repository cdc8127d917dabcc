// Pictures as the command handles them: one value per pixel, packed into and
// out of the playbill's row layouts, read from and written to PNG.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::tool {

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;  // row by row; 0/1 for one-bit formats, else the colour value
};

// The on-screen colour of an LED colour value (bit 0 red, bit 1 green, bit 2
// blue), as 0xRRGGBB.
uint32_t LedRgb(uint32_t value);

// Packs pixels into `height` rows of `pitch` bytes in a picture format: 0..7
// one bit per pixel (first pixel in bit 7), 8 two bits (first pixel in bits
// 0-1), above 8 four bits (first pixel in the low nibble).
std::vector<uint8_t> PackRows(const Picture& picture, uint32_t format, uint32_t pitch);
Picture UnpackRows(const uint8_t* rows, int32_t width, int32_t height, uint32_t format,
                   uint32_t pitch);

// A PNG of a playbill picture: one-bit formats as lit pixels in the format's
// colour (white for 0) on black, others in the colours of their values.
std::vector<uint8_t> PictureToPng(const Picture& picture, uint32_t format);
// Reads a PNG for a picture format: one-bit formats light the pixels whose
// brightest channel and alpha are above half; the others take the colour
// value nearest each pixel (red, green, blue above half), kept to the bits
// the format has.
bool PngToPicture(const std::vector<uint8_t>& png, uint32_t format, Picture* out,
                  std::string* error);

// An RGB PNG (three bytes a pixel).
std::vector<uint8_t> RgbToPng(int32_t width, int32_t height, const std::vector<uint8_t>& rgb);

}  // namespace ledview::tool
