// Writes playbill bytes from a tree of pages, areas, components and
// elements, and encodes the element payloads. Every size field is computed
// from the children, so a writer states only the fields it means.
//
//   Bill bill;
//   Component& c = bill.AddPage().AddArea(0, 0, 64, 32).AddComponent(0, 0, 64, 32);
//   c.AddElement(1, BmpBlockBytes(picture));
//   std::vector<uint8_t> bytes = bill.Bytes();
//
// Add* return references that stay valid while the tree lives. After Bytes()
// every node's offset field holds where its header landed. The engine is not
// needed: the ledview command and the tests share this code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "format/playbill.h"

namespace ledview::bill {

struct Element {
  uint16_t elemtype = 1;
  uint16_t delaytime = 0;
  uint16_t speed = 0;
  uint16_t entryeffect = 0;
  uint32_t staytime = 0;
  uint32_t exiteffect = 0;
  std::vector<uint8_t> payload;
  mutable size_t offset = 0;
};

struct Component {
  uint16_t x = 0;
  uint16_t y = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t bordertype = 0;
  std::deque<Element> elements;
  mutable size_t offset = 0;

  Element& AddElement(uint16_t elemtype, std::vector<uint8_t> payload);
};

struct Area {
  uint16_t x = 0;
  uint16_t y = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t staticflag = 0;
  std::deque<Component> components;
  mutable size_t offset = 0;

  Component& AddComponent(uint16_t x, uint16_t y, uint16_t width, uint16_t height,
                          uint32_t bordertype = 0);
};

struct Page {
  uint32_t bordertype = 0;
  int32_t playtime = 0;
  std::deque<Area> areas;
  mutable size_t offset = 0;

  Area& AddArea(uint16_t x, uint16_t y, uint16_t width, uint16_t height, uint32_t staticflag = 0);
};

struct Bill {
  uint32_t reserved = 0;           // the header word at +4, which the engine never reads
  std::deque<Page> pages;
  std::vector<uint8_t> trailing;   // bytes after the pages, never read either

  Page& AddPage(int32_t playtime = 0, uint32_t bordertype = 0);
  std::vector<uint8_t> Bytes() const;
};

// Payload records, one per layout. Pixel rows are stored as they go into the
// playbill: `height` rows of `pitch` bytes (a strip: `count` frames of them).

// A stored picture (elemtype 1, and the layout of every text image).
struct BmpBlock {
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t format = 1;  // 0..7 one bit per pixel in that colour, 8 two bits, 9+ four bits
  uint32_t pitch = 0;
  std::vector<uint8_t> rows;
};

// Frames of one size stored one after another (elemtypes 6 and 7, and the
// digit and label pictures of the clocks).
struct FrameStrip {
  uint32_t count = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t format = 1;
  uint32_t pitch = 0;
  std::vector<uint8_t> pixels;
};

// elemtype 2: a text the engine draws with its own fonts.
struct StringText {
  uint16_t id = 0;          // live string id, 0 for a fixed text
  uint16_t singleline = 1;  // 0: also wrap at the component's width
  uint32_t colour = 1;
  uint8_t reserved[8] = {};
  std::string text;  // the engine's character codes; its length is stored
  uint32_t fontsize = 16;
};

// elemtype 3: counts down to or up from a local date and time.
struct Timer {
  uint32_t direction = 1;  // non-zero counts down
  int16_t year = 2030;
  int8_t month = 1;
  int8_t day = 1;
  int16_t hour = 0;
  int8_t minute = 0;
  int8_t second = 0;
  char format[kFormatLetters] = {};
  FrameStrip digits;  // 0..9 and the separator
};

// elemtype 4.
struct AnalogClock {
  uint32_t timesource = 1;
  uint32_t marks = 1;       // 12, 3, 6 and 9 o'clock
  uint32_t minormarks = 1;  // the other eight
  uint32_t hour = 1;
  uint32_t minute = 1;
  uint32_t second = 1;
  uint16_t hourwidth = 2;  // half-widths of the hands
  uint16_t minutewidth = 1;
};

// elemtype 5: the two strips follow the fixed fields, digits first.
struct DigitalClock {
  uint32_t timesource = 1;
  char format[kFormatLetters] = {};
  FrameStrip digits;  // 0..9 and the separator
  FrameStrip labels;  // year, month, day/Sunday, two weekday prefixes, Monday..Saturday
};

// Bytes of one row of `width` pixels in a picture format.
uint32_t RowBytes(uint32_t width, uint32_t format);

std::vector<uint8_t> BmpBlockBytes(const BmpBlock& picture);
std::vector<uint8_t> FrameStripBytes(const FrameStrip& strip);
std::vector<uint8_t> StringTextBytes(const StringText& text);
std::vector<uint8_t> TimerBytes(const Timer& timer);
std::vector<uint8_t> AnalogClockBytes(const AnalogClock& clock);
std::vector<uint8_t> DigitalClockBytes(const DigitalClock& clock);

// Little-endian access.
void Append16(std::vector<uint8_t>& out, uint16_t v);
void Append32(std::vector<uint8_t>& out, uint32_t v);
uint32_t GetU32(const std::vector<uint8_t>& b, size_t at);
uint16_t GetU16(const std::vector<uint8_t>& b, size_t at);
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v);
void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v);

}  // namespace ledview::bill
