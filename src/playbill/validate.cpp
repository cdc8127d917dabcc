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

// One level of the object tree as the validator walks it: the object it
// must be, where its children's byte count lies, and the codes and messages
// of the two faults every level has.
struct CheckLevel {
  uint32_t magic;
  uint32_t headerbytes;
  uint32_t sizefield;  // the header field that declares the children's bytes
  int32_t notthisobject;
  const char* notthismessage;
  int32_t badsize;
  const char* badsizemessage;  // printed with the size
};
constexpr CheckLevel kPageCheck{kPageMagic, kPageHeaderBytes, pagefield::areasize,
                                kCheckNotAPage, "Object except page!\n",
                                kCheckBadAreas, "areasize = %d error!\n"};
constexpr CheckLevel kAreaCheck{kAreaMagic, kAreaHeaderBytes, areafield::componentsize,
                                kCheckNotAnArea, "Object except area!\n",
                                kCheckBadComponents, "componentsize = %d error!\n"};
constexpr CheckLevel kComponentCheck{kComponentMagic, kComponentHeaderBytes,
                                     componentfield::componentsize,
                                     kCheckNotAComponent, "Object except component!\n",
                                     kCheckBadElements, "componentsize = %d error!\n"};
constexpr CheckLevel kElementCheck{kElementMagic, kElementHeaderBytes, elementfield::vsobjsize,
                                   kCheckNotAnElement, "Object except element!\n",
                                   kCheckBadElement, "vsobjsize = %d error!\n"};

// Walks the objects of one level in `remaining` bytes at `at`. Each must be
// the level's object, pass fields(at) (its own fields, checked before its
// size), declare a size from 1 to what is left after its header, and pass
// children(at, size, remaining), remaining counting from its first byte.
// 0, or the code of the first fault.
template <class Fields, class Children>
int32_t CheckList(const CheckLevel& level, uint64_t at, int64_t remaining, Fields fields,
                  Children children) {
  while (remaining >= 1) {
    if (FieldU32(at) != level.magic) {
      Say(level.notthismessage);
      return level.notthisobject;
    }
    if (const int32_t code = fields(at)) return code;
    const int32_t size = FieldI32(at + level.sizefield);
    if (size < 1 || size > remaining - level.headerbytes) {
      Say(level.badsizemessage, size);
      return level.badsize;
    }
    if (const int32_t code = children(at, size, remaining)) return code;
    remaining -= level.headerbytes + static_cast<int64_t>(size);
    at += level.headerbytes + static_cast<uint64_t>(size);
  }
  return kCheckValid;
}

int32_t NoFields(uint64_t) { return kCheckValid; }

int32_t CheckElements(uint64_t at, int64_t remaining) {
  return CheckList(kElementCheck, at, remaining, NoFields,
                   [](uint64_t e, int32_t vsobjsize, int64_t left) {
                     const uint16_t elemtype = FieldU16(e + elementfield::elemtype);
                     if (elemtype < kFirstElemType || elemtype > kLastElemType) return kCheckNotAnElement;
                     // The header and payload now lie inside the caller's bytes.
                     if (!ElementPayloadFits(elemtype, billdata + e + kElementHeaderBytes,
                                             static_cast<uint32_t>(vsobjsize),
                                             static_cast<uint32_t>(left))) {
                       return kCheckBadElement;
                     }
                     return kCheckValid;
                   });
}

int32_t CheckComponents(uint64_t at, int64_t remaining, int32_t areawidth, int32_t areaheight) {
  const auto place = [areawidth, areaheight](uint64_t c) {
    const int32_t x = FieldU16(c + rectfield::x);
    const int32_t y = FieldU16(c + rectfield::y);
    if (x > areawidth) {
      Say("Object component rectangle width error! x = %d\n", x);
      return kCheckBadComponents;
    }
    if (y > areaheight) {
      Say("Object component rectangle height error! y = %d\n", y);
      return kCheckBadComponents;
    }
    return kCheckValid;
  };
  return CheckList(kComponentCheck, at, remaining, place, [](uint64_t c, int32_t size, int64_t) {
    return CheckElements(c + kComponentHeaderBytes, size);
  });
}

int32_t CheckAreas(uint64_t at, int64_t remaining) {
  const auto onsign = [](uint64_t a) {
    const int32_t x = FieldU16(a + rectfield::x);
    const int32_t y = FieldU16(a + rectfield::y);
    if (x + FieldU16(a + rectfield::width) > static_cast<int32_t>(framebuffer.fbwidth)) {
      Say("Object area rectangle width error! x = %d\n", x);
      return kCheckBadAreas;
    }
    if (y + FieldU16(a + rectfield::height) > static_cast<int32_t>(framebuffer.fbheight)) {
      Say("Object area rectangle height error! y = %d\n", y);
      return kCheckBadAreas;
    }
    return kCheckValid;
  };
  return CheckList(kAreaCheck, at, remaining, onsign, [](uint64_t a, int32_t size, int64_t) {
    return CheckComponents(a + kAreaHeaderBytes, size, FieldU16(a + rectfield::width),
                           FieldU16(a + rectfield::height));
  });
}

int32_t CheckPages(uint64_t at, int64_t remaining) {
  return CheckList(kPageCheck, at, remaining, NoFields, [](uint64_t p, int32_t size, int64_t) {
    return CheckAreas(p + kPageHeaderBytes, size);
  });
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
      code = kCheckBadPageSize;
    } else {
      code = CheckPages(kBillHeaderBytes, pagesize);
    }
  }
  billdata = nullptr;
  billlength = 0;
  return code;
}

}  // namespace ledview
