// The engine's character codes: bytes below 0x80 are ASCII, GB2312 characters
// are two bytes from 0xA1 up. Descriptions are UTF-8.
#pragma once
#include <cstdint>
#include <string>

namespace ledview::tool {

// UTF-8 to engine codes. False, with the offending character in *error, when
// the text is not UTF-8 or holds a character GB2312 does not have.
bool Utf8ToGb(const std::string& utf8, std::string* gb, std::string* error);

// Engine codes to UTF-8. False when the bytes hold anything that would not
// come back the same through Utf8ToGb (a NUL, a byte 0x80..0xA0, an unassigned
// or cut-off code).
bool GbToUtf8(const std::string& gb, std::string* utf8);

// Decodes one UTF-8 character at text[*at], moving *at past it; false when
// the bytes there are not UTF-8.
bool NextCodePoint(const std::string& text, size_t* at, uint32_t* code);
void AppendUtf8(std::string* out, uint32_t code);

}  // namespace ledview::tool
