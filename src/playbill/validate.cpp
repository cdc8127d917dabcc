#include "playbill/validate.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "display/framebuffer.h"
#include "format/playbill.h"

namespace ledview {

namespace {

const uint8_t* billdata = nullptr;
uint32_t billlength = 0;

// Header fields come through these. A header cut off by the end of the
// caller's bytes reads as zeros beyond it, so it fails on its magic or on its
// length without a byte outside the playbill being touched.
uint32_t FieldU32(uint64_t offset) {
  uint8_t b[4] = {0, 0, 0, 0};
  for (uint64_t i = 0; i < 4; ++i) {
    if (offset + i < billlength) b[i] = billdata[offset + i];
  }
  return ReadU32(b);
}
uint16_t FieldU16(uint64_t offset) { return static_cast<uint16_t>(FieldU32(offset) & 0xFFFF); }
int32_t FieldI32(uint64_t offset) { return static_cast<int32_t>(FieldU32(offset)); }

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

// Products of declared sizes are capped far above any playbill so that they
// never wrap.
constexpr uint64_t kHuge = uint64_t{1} << 56;

uint64_t MulSat(uint64_t a, uint64_t b) {
  if (a != 0 && b > kHuge / a) return kHuge;
  return std::min(a * b, kHuge);
}
uint64_t AddSat(uint64_t a, uint64_t b) { return std::min(a + b, kHuge); }

// Bytes from the first row that drawing `frames` stacked frames reads: all
// declared rows, and the whole last row even when the pitch is shorter than
// a row of pixels.
uint64_t PictureExtent(uint64_t frames, uint32_t width, uint32_t height, uint32_t format,
                       uint32_t pitch) {
  const uint64_t rows = MulSat(frames, height);
  const uint64_t declared = MulSat(rows, pitch);
  if (rows == 0 || width == 0) return declared;
  return std::max(declared, AddSat(MulSat(rows - 1, pitch), PictureRowBytes(width, format)));
}

// A strip header plus at least `minframes` frames at payload offset `at`.
bool StripFits(const uint8_t* payload, uint64_t at, uint32_t vsobjsize, uint32_t minframes) {
  if (at + stripfield::pages > vsobjsize) return false;
  const uint8_t* s = payload + at;
  const uint32_t frames = std::max(ReadU32(s + stripfield::count), minframes);
  const uint64_t extent =
      PictureExtent(frames, ReadU16(s + stripfield::width), ReadU16(s + stripfield::height),
                    ReadU32(s + stripfield::format), ReadU32(s + stripfield::pitch));
  return AddSat(at + stripfield::pages, extent) <= vsobjsize;
}

// The declared pixel bytes of a strip as the controller's bound counts them.
uint64_t StripBytes(const uint8_t* s) {
  return MulSat(MulSat(ReadU32(s + stripfield::count), ReadU32(s + stripfield::pitch)),
                ReadU16(s + stripfield::height));
}

}  // namespace

bool ElementPayloadFits(uint16_t elemtype, const uint8_t* p, uint32_t vsobjsize,
                        uint32_t remaining) {
  const uint64_t r = remaining;
  switch (elemtype) {
    case kElemPicture: {
      if (vsobjsize < bmpfield::rows) return false;
      const uint32_t pitch = ReadU32(p + bmpfield::pitch);
      if (MulSat(pitch, ReadU16(p + bmpfield::height)) > r) return false;
      if (pitch > kBitmapPitchLimit) return false;
      const uint64_t extent = PictureExtent(1, ReadU16(p + bmpfield::width), ReadU16(p + bmpfield::height),
                                            ReadU32(p + bmpfield::format), pitch);
      return AddSat(bmpfield::rows, extent) <= vsobjsize;
    }
    case kElemString: {  // leading fields and the text
      if (vsobjsize < stringfield::text) return false;
      const uint64_t text = ReadU32(p + stringfield::length);
      return text + stringfield::text <= r && text + stringfield::text <= vsobjsize;
    }
    case kElemTimer: {  // timer fields, then the digit strip (all eleven frames are addressed)
      constexpr uint32_t end = timerfield::digits + stripfield::pages;
      if (vsobjsize < end) return false;
      if (AddSat(StripBytes(p + timerfield::digits), end) > r) return false;
      return StripFits(p, timerfield::digits, vsobjsize, kTimeStripFrames);
    }
    case kElemAnalogClock:
      return r >= clockfield::end && vsobjsize >= clockfield::end;
    case kElemDigitalClock: {  // clock fields, then digit and label strips at their offsets
      if (vsobjsize < digitalfield::end) return false;
      const uint32_t a = ReadU32(p + digitalfield::digits);
      const uint32_t b = ReadU32(p + digitalfield::labels);
      if (!StripFits(p, a, vsobjsize, kTimeStripFrames)) return false;
      if (!StripFits(p, b, vsobjsize, kTimeStripFrames)) return false;
      return AddSat(AddSat(StripBytes(p + a), StripBytes(p + b)), digitalfield::end) <= r;
    }
    case kElemAnimation:  // an animation with no frames would never reach its last one
      if (vsobjsize < stripfield::pages || ReadU32(p + stripfield::count) == 0) return false;
      if (AddSat(StripBytes(p), stripfield::pages) > r) return false;
      return StripFits(p, 0, vsobjsize, 1);
    case kElemPagedPicture:  // page 0 is shown even when the count says none
      if (vsobjsize < stripfield::pages) return false;
      if (AddSat(StripBytes(p), stripfield::pages) > r) return false;
      if (ReadU32(p + stripfield::pitch) > kBitmapPitchLimit) return false;
      return StripFits(p, 0, vsobjsize, 1);
    default:
      return false;
  }
}

namespace {

int32_t WalkElements(uint64_t at, int64_t remaining) {
  while (remaining >= 1) {
    if (FieldU32(at) != kElementMagic) {
      Say("Object except element!\n");
      return 13;
    }
    const int32_t vsobjsize = FieldI32(at + elementfield::vsobjsize);
    if (vsobjsize < 1 || vsobjsize > remaining - kElementHeaderBytes) {
      Say("vsobjsize = %d error!\n", vsobjsize);
      return 15;
    }
    const uint16_t elemtype = FieldU16(at + elementfield::elemtype);
    if (elemtype < kFirstElemType || elemtype > kLastElemType) return 13;
    // The header and payload now lie inside the caller's bytes.
    if (!ElementPayloadFits(elemtype, billdata + at + kElementHeaderBytes,
                            static_cast<uint32_t>(vsobjsize), static_cast<uint32_t>(remaining))) {
      return 15;
    }
    remaining -= kElementHeaderBytes + static_cast<int64_t>(vsobjsize);
    at += kElementHeaderBytes + static_cast<uint64_t>(vsobjsize);
  }
  return 0;
}

int32_t WalkComponents(uint64_t at, int64_t remaining, int32_t areawidth, int32_t areaheight) {
  while (remaining >= 1) {
    if (FieldU32(at) != kComponentMagic) {
      Say("Object except component!\n");
      return 11;
    }
    const int32_t x = FieldU16(at + rectfield::x);
    const int32_t y = FieldU16(at + rectfield::y);
    if (x > areawidth) {
      Say("Object component rectangle width error! x = %d\n", x);
      return 10;
    }
    if (y > areaheight) {
      Say("Object component rectangle height error! y = %d\n", y);
      return 10;
    }
    const int32_t size = FieldI32(at + componentfield::componentsize);
    if (size < 1 || size > remaining - kComponentHeaderBytes) {
      Say("componentsize = %d error!\n", size);
      return 12;
    }
    if (const int32_t code = WalkElements(at + kComponentHeaderBytes, size)) return code;
    remaining -= kComponentHeaderBytes + static_cast<int64_t>(size);
    at += kComponentHeaderBytes + static_cast<uint64_t>(size);
  }
  return 0;
}

int32_t WalkAreas(uint64_t at, int64_t remaining) {
  while (remaining >= 1) {
    if (FieldU32(at) != kAreaMagic) {
      Say("Object except area!\n");
      return 5;
    }
    const int32_t x = FieldU16(at + rectfield::x);
    const int32_t y = FieldU16(at + rectfield::y);
    const int32_t width = FieldU16(at + rectfield::width);
    const int32_t height = FieldU16(at + rectfield::height);
    if (x + width > static_cast<int32_t>(framebuffer.fbwidth)) {
      Say("Object area rectangle width error! x = %d\n", x);
      return 4;
    }
    if (y + height > static_cast<int32_t>(framebuffer.fbheight)) {
      Say("Object area rectangle height error! y = %d\n", y);
      return 4;
    }
    const int32_t size = FieldI32(at + areafield::componentsize);
    if (size < 1 || size > remaining - kAreaHeaderBytes) {
      Say("componentsize = %d error!\n", size);
      return 10;
    }
    if (const int32_t code = WalkComponents(at + kAreaHeaderBytes, size, width, height)) return code;
    remaining -= kAreaHeaderBytes + static_cast<int64_t>(size);
    at += kAreaHeaderBytes + static_cast<uint64_t>(size);
  }
  return 0;
}

int32_t WalkPages(uint64_t at, int64_t remaining) {
  while (remaining >= 1) {
    if (FieldU32(at) != kPageMagic) {
      Say("Object except page!\n");
      return 2;
    }
    const int32_t size = FieldI32(at + pagefield::areasize);
    if (size < 1 || size > remaining - kPageHeaderBytes) {
      Say("areasize = %d error!\n", size);
      return 4;
    }
    if (const int32_t code = WalkAreas(at + kPageHeaderBytes, size)) return code;
    remaining -= kPageHeaderBytes + static_cast<int64_t>(size);
    at += kPageHeaderBytes + static_cast<uint64_t>(size);
  }
  return 0;
}

}  // namespace

int32_t ValidatePlayBill(const uint8_t* data, int32_t length) {
  if (data == nullptr || length < static_cast<int32_t>(kBillHeaderBytes) ||
      static_cast<uint32_t>(length) > kPlayBillMaxBytes) {
    return -1;
  }
  billdata = data;
  billlength = static_cast<uint32_t>(length);
  int32_t code = -1;
  if (FieldU32(0) == kBillMagic) {
    const int32_t pagesize = FieldI32(billfield::pagesize);
    // Pages must also end inside the bytes the caller gave.
    if (pagesize < 1 || int64_t{pagesize} + kBillHeaderBytes > kPlayBillMaxBytes ||
        int64_t{pagesize} + kBillHeaderBytes > length) {
      Say("pagesize = %d error!\n", pagesize);
      code = 1;
    } else {
      code = WalkPages(kBillHeaderBytes, pagesize);
    }
  }
  billdata = nullptr;
  billlength = 0;
  return code;
}

}  // namespace ledview
