// `ledview effects --gallery DIR`: every entry and exit effect played on one
// sample picture, a small GIF each, each border type likewise, and an
// index.html that shows them side by side with the speeds' rates.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace ledview::tool {

// About how many LEDs a second a scroll moves at speeds 0..8, with the
// render's default 10 ms tick.
inline constexpr std::array<int32_t, 9> kSpeedLedsPerSecond = {25, 33, 50, 100, 200, 270, 400, 400, 400};

// What each border type 1..8 looks like, in a few words.
inline constexpr std::array<const char*, 8> kBorderWords = {
    "rings that blink red and yellow",
    "a chain of red, green and yellow running round",
    "dots chasing each other along the edges",
    "an outline turning green, yellow, dark and red",
    "red rings and yellow squares taking turns",
    "a ring travelling round, laying rings, then taking them up",
    "red and green marks marching along the edges",
    "a zigzag between solid sides, red then green",
};
// "4 LEDs wide" for border type 4's width, "1 LED wide" for type 2's.
std::string BorderWidthWords(int32_t bordertype);

// Writes the GIFs and index.html into `folder`, which must not exist yet or
// be empty; on failure nothing is left behind. `font` draws the sample
// picture (a fontconfig name or a path).
bool WriteGallery(const std::string& folder, const std::string& font, bool progress,
                  std::string* error);

}  // namespace ledview::tool
