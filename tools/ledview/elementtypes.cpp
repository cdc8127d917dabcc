// The element types a description names: one row a type.
#include "format/playbill.h"
#include "ledview/describe_shared.h"

namespace ledview::tool {

namespace {

constexpr const char* kPictureKeys[] = {"png",   "text",   "font",   "size",   "align",
                                        "width", "height", "colour", "format", "pitch"};
constexpr const char* kStringKeys[] = {"text",   "textbytes", "id",      "singleline",
                                       "colour", "size",      "reserved"};
constexpr const char* kTimerKeys[] = {"direction", "target", "format", "digits"};
constexpr const char* kAnalogClockKeys[] = {"timesource", "marks",  "minormarks", "hour",
                                            "minute",     "second", "hourwidth",  "minutewidth"};
constexpr const char* kDigitalClockKeys[] = {"timesource", "format", "digits", "labels"};

constexpr ElementType kElementTypes[] = {
    {kElemPicture, "picture", kPictureKeys, BuildPicturePayload, DescribePicturePayload},
    {kElemString, "string", kStringKeys, BuildStringPayload, DescribeStringPayload},
    {kElemTimer, "timer", kTimerKeys, BuildTimerPayload, DescribeTimerPayload},
    {kElemAnalogClock, "analogclock", kAnalogClockKeys, BuildAnalogClockPayload, DescribeAnalogClockPayload},
    {kElemDigitalClock, "digitalclock", kDigitalClockKeys, BuildDigitalClockPayload, DescribeDigitalClockPayload},
    {kElemAnimation, "animation", kStripKeys, BuildStripPayload, DescribeStripPayload},
    {kElemPagedPicture, "pagedpicture", kStripKeys, BuildStripPayload, DescribeStripPayload},
};

}  // namespace

std::span<const ElementType> ElementTypes() { return kElementTypes; }

const ElementType* FindElementType(uint32_t elemtype) {
  for (const ElementType& row : kElementTypes) {
    if (row.elemtype == elemtype) return &row;
  }
  return nullptr;
}

const ElementType* ElementTypeByName(const std::string& name) {
  for (const ElementType& row : kElementTypes) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

std::string ElementTypeName(uint32_t elemtype) {
  const ElementType* row = FindElementType(elemtype);
  return row != nullptr ? row->name : "type " + std::to_string(elemtype);
}

}  // namespace ledview::tool
