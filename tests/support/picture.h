// Framebuffer regions as ASCII pictures, a character a pixel and a line a
// row: '#' lit and '.' dark in colour mode 1, else '.' for 0, 1..9, a..f, '?'.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace ledview::test {

std::string ReadPicture(int32_t x, int32_t y, int32_t w, int32_t h);  // in the colour mode's layout
std::string NormalisePicture(const std::string& picture);  // without blank lines and the spaces around lines
// The region at (x, y) shows `expected`; a mismatch marks the rows that differ.
testing::AssertionResult PictureAt(int32_t x, int32_t y, const std::string& expected);
std::string BitZeroLit(const std::string& values);  // colour values as mode 1 shows them when bit 0 decides
void FillFrameBuffer(uint8_t value);  // lights every pixel (colour mode 1) or sets every byte to `value`

}  // namespace ledview::test
