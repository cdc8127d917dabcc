// The playbill the text benchmarks play: one page, one area over a 256 x 64
// sign, 4 x 4 components of 64 x 16, each with one string element whose live
// string id is its index + 1: slide entry 8..15 in turn, speed 2..6, a stay
// of 1..3 seconds and an erase exit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t kBoardWidth = 256;
inline constexpr int32_t kBoardHeight = 64;
inline constexpr int32_t kBoardComponents = 16;

// texts[i] goes into component i, at textsize pixels (in the engine's codes).
std::vector<uint8_t> StringBoard(const std::vector<std::string>& texts, uint32_t textsize);

// A fresh engine for the board's sign in a colour mode, with the benchmarks'
// Latin font, drawing into *out (sized to the sign here). False, with the
// engine released, when it cannot start.
bool StartBoard(int32_t mode, std::vector<uint8_t>* out);
