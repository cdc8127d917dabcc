// Values the command line gives as text (sizes, start times, live strings)
// and the inputs it names.
#pragma once
#include <cstdint>
#include <string>

#include <vector>

#include "ledview/describe.h"
#include "ledview/render.h"

namespace ledview::tool {

// The largest sign the command plays: widths and heights in LEDs.
inline constexpr int32_t kMaxSignWidth = 8192;
inline constexpr int32_t kMaxSignHeight = 512;

// WIDTHxHEIGHT, 1x1 .. kMaxSignWidth x kMaxSignHeight.
bool ParseSize(const std::string& text, int32_t* width, int32_t* height);
// The one-line error for a --size that ParseSize refuses: the form
// expected, or the limit the width or height passes.
std::string SizeMistake(const std::string& text);
// "YYYY-MM-DD hh:mm:ss" in local time, seconds since 1970, or "now" (also
// an empty text).
bool ParseStart(const std::string& text, int64_t* start);
// ID=TEXT@SECONDS: the text (UTF-8) in the engine's codes and the moment in
// milliseconds.
bool ParseString(const std::string& text, StringUpdate* out, std::string* error);

// The most a command reads of one input file.
inline constexpr size_t kMaxInputBytes = 64u << 20;

// What a file that is not a playbill holds, in a few words ("a PNG
// picture", "empty"), or "" when it may be one.
std::string NotAPlaybill(const std::vector<uint8_t>& bytes);

// A playbill from a .bill file, or built from a JSON description (which
// starts with '{' or a comment). Empty files, pictures and other files that
// are neither are refused with what they are. *sign gets the description's sign when it
// names one, or the sign read off a playbill's content. *warnings, when
// given, gets the description's warnings (see BuildFile).
bool LoadInput(const std::string& path, std::vector<uint8_t>* bill, SignSize* sign,
               std::string* error, std::vector<std::string>* warnings = nullptr);

// The sign to play on: the options' size and mode, else the description's,
// else 128 x 32 in one colour. False when --size cannot be read.
bool ChooseSign(const SignSize& sign, const std::string& size, int32_t mode, int32_t* width,
                int32_t* height, int32_t* colourmode);

// The font the engine draws strings above 16 px with, as a file: --font
// (`option`) when given, else the description's sign font, else DejaVu Sans
// when it has every character those strings hold, else an installed font
// that has them all (DejaVu Sans again when none has). False, with the
// reason, when the font named is not found.
bool ChooseFont(const std::string& option, const SignSize& sign, const std::vector<uint8_t>& bill,
                std::string* path, std::string* error);

}  // namespace ledview::tool
