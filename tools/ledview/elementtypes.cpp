// The element types a description names: one row a type.
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
    {1, "picture", kPictureKeys, BuildPicturePayload, DescribePicturePayload},
    {2, "string", kStringKeys, BuildStringPayload, DescribeStringPayload},
    {3, "timer", kTimerKeys, BuildTimerPayload, DescribeTimerPayload},
    {4, "analogclock", kAnalogClockKeys, BuildAnalogClockPayload, DescribeAnalogClockPayload},
    {5, "digitalclock", kDigitalClockKeys, BuildDigitalClockPayload, DescribeDigitalClockPayload},
    {6, "animation", kStripKeys, BuildStripPayload, DescribeStripPayload},
    {7, "pagedpicture", kStripKeys, BuildStripPayload, DescribeStripPayload},
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
