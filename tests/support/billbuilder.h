// Playbill bytes for tests, built with the ledview command's writer
// (tools/ledview/billwriter.h): sizes come from the children, so a test
// states only what it cares about and patches bytes afterwards for faults.
// After Bytes() every node's offset field holds where its header landed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "billfile/billwriter.h"

namespace ledview::test {

using bill::Area, bill::Bill, bill::Component, bill::Element, bill::Page, bill::PutU16, bill::PutU32;

// Payloads by element type. 1: a picture of 0xA5 bytes (pitch 0: whole bytes of the width).
std::vector<uint8_t> BitmapPayload(uint16_t width, uint16_t height, uint32_t format, uint32_t pitch = 0);
// 1 from rows of '#' (lit) and '.', in colour `format`; 7: equally sized 1-bit pages from rows.
std::vector<uint8_t> PicturePayload(const std::vector<std::string>& rows, uint32_t format = 1);
std::vector<uint8_t> PagesPayload(const std::vector<std::vector<std::string>>& pages, uint32_t format = 1);
// 2: a string drawn with the engine's fonts.
std::vector<uint8_t> StringPayload(uint16_t id, const std::string& text, uint32_t fontsize = 16,
                                   uint32_t colour = 1, uint16_t singleline = 1);
// Frames (types 6 and 7, inside 3 and 5) whose bytes hold their number + 1.
std::vector<uint8_t> StripBytes(uint32_t count, uint16_t width, uint16_t height, uint32_t format, uint32_t pitch);
// 3: a timer counting to a date, with 11 digit frames; 4: an analog clock with five colours;
// 5: a digital clock with 11-frame digit and label strips.
std::vector<uint8_t> TimerPayload(const char format[8], uint16_t digitwidth = 4, uint16_t digitheight = 8);
std::vector<uint8_t> ClockPayload(uint32_t marks, uint32_t minormarks, uint32_t hour, uint32_t minute,
                                  uint32_t second);
std::vector<uint8_t> DigitalClockPayload(const char format[8]);

}  // namespace ledview::test
