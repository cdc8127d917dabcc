// Framebuffer regions as ASCII pictures, one character per pixel and one line
// per row. Colour mode 1: '#' lit, '.' dark. Colour modes 2/4: '.' for 0,
// the digit for 1..9, 'a'..'f' for 10..15, '?' above.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace ledview::test {

// The w x h region at (x, y), rows joined by '\n', read in the layout of the
// configured colour mode.
std::string ReadPicture(int32_t x, int32_t y, int32_t w, int32_t h);
// A picture written in a raw string without blank lines and the spaces
// around each line.
std::string NormalisePicture(const std::string& picture);
// The region at (x, y) as large as `expected` shows it; a mismatch prints
// both with the differing rows marked.
testing::AssertionResult PictureAt(int32_t x, int32_t y, const std::string& expected);
// Colour values as colour mode 1 shows them when bit 0 decides.
std::string BitZeroLit(const std::string& values);
// Lights every pixel (colour mode 1) or sets every byte to `value`, so that
// tests see which pixels an operation leaves alone.
void FillFrameBuffer(uint8_t value);

}  // namespace ledview::test
