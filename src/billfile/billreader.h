// Reads playbill bytes back into the writer's records (billwriter.h), so
// that writing them again gives the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "billfile/billwriter.h"

namespace ledview::bill {

// Walks the object tree. Every object must lie inside its parent and every
// length field must be used up exactly by the children; anything else is an
// error naming the object and its byte offset. Bytes after the pages are
// kept in `trailing`.
bool ReadBill(const std::vector<uint8_t>& bytes, bill::Bill* out, std::string* error);

// Payload decoders: false when the payload is shorter than its fixed fields
// and the pixel bytes they declare. Bytes beyond those are not part of the
// record.
bool DecodeBmpBlock(const std::vector<uint8_t>& payload, bill::BmpBlock* out);
bool DecodeFrameStrip(const std::vector<uint8_t>& payload, size_t at, bill::FrameStrip* out);
bool DecodeStringText(const std::vector<uint8_t>& payload, bill::StringText* out);
bool DecodeTimer(const std::vector<uint8_t>& payload, bill::Timer* out);
bool DecodeAnalogClock(const std::vector<uint8_t>& payload, bill::AnalogClock* out);
bool DecodeDigitalClock(const std::vector<uint8_t>& payload, bill::DigitalClock* out);

}  // namespace ledview::bill
