// Byte layout of a playbill, declared once: little-endian object headers that
// nest bill > page > area > component > element, each declaring the bytes of
// its children, and the payload of each element type. The engine's validator,
// loader and renderers and the command's writer and reader all use it; it
// depends on nothing.
#pragma once
#include <cstdint>

namespace ledview {

// The largest playbill, and the engine's store that holds one.
inline constexpr uint32_t kPlayBillMaxBytes = 0x300000;

inline constexpr uint32_t kBillMagic = 0x80000000u;
inline constexpr uint32_t kPageMagic = 0x40000000u;
inline constexpr uint32_t kAreaMagic = 0x20000000u;
inline constexpr uint32_t kComponentMagic = 0x08000000u;
inline constexpr uint32_t kElementMagic = 0x04000000u;

inline constexpr uint32_t kBillHeaderBytes = 12;
inline constexpr uint32_t kPageHeaderBytes = 16;
inline constexpr uint32_t kAreaHeaderBytes = 20;
inline constexpr uint32_t kComponentHeaderBytes = 20;
inline constexpr uint32_t kElementHeaderBytes = 24;

// Field offsets within each header.
namespace billfield {
inline constexpr uint32_t reserved = 4;  // never read by the engine
inline constexpr uint32_t pagesize = 8;
}
namespace pagefield {
inline constexpr uint32_t bordertype = 4;
inline constexpr uint32_t playtime = 8;
inline constexpr uint32_t areasize = 12;
}  // namespace pagefield
namespace rectfield {  // areas and components share the rectangle
inline constexpr uint32_t x = 4;
inline constexpr uint32_t y = 6;
inline constexpr uint32_t width = 8;
inline constexpr uint32_t height = 10;
}  // namespace rectfield
namespace areafield {
inline constexpr uint32_t staticflag = 12;
inline constexpr uint32_t componentsize = 16;
}  // namespace areafield
namespace componentfield {
inline constexpr uint32_t bordertype = 12;
inline constexpr uint32_t componentsize = 16;
}  // namespace componentfield
namespace elementfield {
inline constexpr uint32_t elemtype = 4;
inline constexpr uint32_t delaytime = 6;
inline constexpr uint32_t speed = 8;
inline constexpr uint32_t entryeffect = 10;
inline constexpr uint32_t staytime = 12;
inline constexpr uint32_t exiteffect = 16;
inline constexpr uint32_t vsobjsize = 20;
}  // namespace elementfield

// Border types 1..8 of a page or component, and the LEDs each takes on every
// side of its object (the same in every colour mode); any other type is no
// border.
inline constexpr int32_t kBorderTypes = 8;
inline constexpr int32_t kBorderWidths[kBorderTypes] = {4, 1, 3, 1, 4, 4, 3, 3};
constexpr int32_t BorderWidth(uint32_t bordertype) {
  return bordertype >= 1 && bordertype <= static_cast<uint32_t>(kBorderTypes) ? kBorderWidths[bordertype - 1] : 0;
}

// What the engine plays at most: pages of a bill, and areas, components and
// elements of the page on the sign.
inline constexpr uint32_t kMaxPages = 16;
inline constexpr uint32_t kMaxAreas = 32;
inline constexpr uint32_t kMaxComponents = 128;
inline constexpr uint32_t kMaxElements = 256;
// The fastest effect speed (0 is the slowest); larger stored values play as
// this one.
inline constexpr uint16_t kMaxSpeed = 8;

// Element types (elemtype).
enum ElemType : uint16_t {
  kElemPicture = 1,       // one stored picture
  kElemString = 2,        // a text in the engine's fonts, maybe live
  kElemTimer = 3,         // counts down to or up from a date
  kElemAnalogClock = 4,
  kElemDigitalClock = 5,
  kElemAnimation = 6,     // frames shown in turn
  kElemPagedPicture = 7,  // pages of a picture, each with its effects
};
inline constexpr uint16_t kFirstElemType = kElemPicture;
inline constexpr uint16_t kLastElemType = kElemPagedPicture;

// Entry effect values 0..52 pick their slot; 53 and above pick at random.
// Exit values 1..9 pick slot value - 1, 0 none, 10 and above at random.
inline constexpr uint16_t kEntryEffectRandom = 53;
inline constexpr uint32_t kExitEffectRandom = 10;
inline constexpr int kEntrySlotCount = kEntryEffectRandom;
inline constexpr int kExitSlotCount = kExitEffectRandom - 1;

// Entry slots the engine itself chooses; the rest are named by the effect
// table.
enum EntrySlot : uint16_t {
  kEntryInstant = 0,
  kEntrySlideLeft = 9,
  kEntrySlideUp = 11,
  kEntryFirstScroll = 45,      // 45..52 scroll through or loop for ever
  kEntryScrollThroughLeft = 46,  // 46..52 have no meaning for paged pictures
  kEntryLastScroll = 52,
};

// A stored picture (elemtype 1, and the layout of every text image): u16
// width, u16 height, u32 format, u32 pitch, then height rows of pitch bytes.
namespace bmpfield {
inline constexpr uint32_t width = 0;
inline constexpr uint32_t height = 2;
inline constexpr uint32_t format = 4;
inline constexpr uint32_t pitch = 8;
inline constexpr uint32_t rows = 12;  // the header's size
}  // namespace bmpfield

// Frames of one size stored one after another: u32 count, u16 width, u16
// height, u32 format, u32 pitch, then count frames of height rows.
namespace stripfield {
inline constexpr uint32_t count = 0;
inline constexpr uint32_t width = 4;
inline constexpr uint32_t height = 6;
inline constexpr uint32_t format = 8;
inline constexpr uint32_t pitch = 12;
inline constexpr uint32_t pages = 16;  // the header's size
}  // namespace stripfield
// Digit strips hold 0..9 and the separator; label strips eleven labels.
inline constexpr uint32_t kTimeStripFrames = 11;
inline constexpr uint32_t kSeparatorFrame = 10;

// elemtype 2: u16 string id (0: fixed text), u16 single line, u32 colour,
// 8 bytes unused, u32 text length, u32 font size, then the text.
namespace stringfield {
inline constexpr uint32_t id = 0;
inline constexpr uint32_t singleline = 2;
inline constexpr uint32_t colour = 4;
inline constexpr uint32_t reserved = 8;  // 8 bytes
inline constexpr uint32_t length = 16;
inline constexpr uint32_t size = 20;
inline constexpr uint32_t text = 24;
}  // namespace stringfield

// elemtype 3: u32 direction (non-zero counts down), the target date (u16
// year, u8 month, u8 day, u16 hour, u8 minute, u8 second), eight format
// letters, then the digit strip.
namespace timerfield {
inline constexpr uint32_t direction = 0;
inline constexpr uint32_t year = 4;
inline constexpr uint32_t month = 6;
inline constexpr uint32_t day = 7;
inline constexpr uint32_t hour = 8;
inline constexpr uint32_t minute = 10;
inline constexpr uint32_t second = 11;
inline constexpr uint32_t format = 12;
inline constexpr uint32_t digits = 20;
}  // namespace timerfield
inline constexpr uint32_t kFormatLetters = 8;

// elemtype 4: u32 time source, u32 colours of the main marks, the other
// marks, the hour, minute and second hands, then u16 half-widths of the hour
// and minute hands.
namespace clockfield {
inline constexpr uint32_t timesource = 0;
inline constexpr uint32_t mainmarks = 4;
inline constexpr uint32_t othermarks = 8;
inline constexpr uint32_t hourhand = 12;
inline constexpr uint32_t minutehand = 16;
inline constexpr uint32_t secondhand = 20;
inline constexpr uint32_t hourwidth = 24;
inline constexpr uint32_t minutewidth = 26;
inline constexpr uint32_t end = 28;
}  // namespace clockfield
inline constexpr uint32_t kClockColours = 5;  // the u32 words from mainmarks on

// elemtype 5: u32 time source, eight format letters, then the payload
// offsets of the digit and the label strip.
namespace digitalfield {
inline constexpr uint32_t timesource = 0;
inline constexpr uint32_t format = 4;
inline constexpr uint32_t digits = 12;
inline constexpr uint32_t labels = 16;
inline constexpr uint32_t end = 20;
}  // namespace digitalfield

// Elemtypes 6 and 7 are one frame strip each.

// Picture formats: 0..7 one bit per pixel lit in that colour value, 8 two
// bits, 9 and above four bits per pixel.
inline constexpr uint32_t kFormatTwoBit = 8;
inline constexpr uint32_t kFormatFourBit = 9;
inline constexpr uint32_t PictureBits(uint32_t format) {
  return format < kFormatTwoBit ? 1 : format == kFormatTwoBit ? 2 : 4;
}
// Bytes one row of `width` pixels fills in a picture format.
inline constexpr uint64_t PictureRowBytes(uint32_t width, uint32_t format) {
  return (uint64_t{width} * PictureBits(format) + 7) / 8;
}
// A Bitmap carries its pitch in 16 signed bits; a larger one would turn
// negative and read backwards.
inline constexpr uint32_t kBitmapPitchLimit = 0x7FFF;

inline uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

inline void WriteU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace ledview
