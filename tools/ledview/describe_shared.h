// What reading descriptions (describe_read.cpp) and writing them
// (describe_write.cpp) share: the reader's error sink, colour names, and the
// table of element types, one row a type with its name, its payload fields
// and the functions that build and describe its payload.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ledview/describe.h"

namespace ledview::tool {

// What reading carries: where relative files are, and where the first
// error goes, as "<object path>: <message>".
struct In {
  const BuildContext& context;
  std::string* error;
  int32_t boxwidth = 0;  // the component's width, where text aligns without a width of its own

  bool Fail(const std::string& path, const std::string& message) const {
    *error = path + ": " + message;
    return false;
  }
};

// Colour values 0..7 by name.
inline constexpr const char* kColourNames[8] = {"black", "red",     "green", "yellow",
                                                "blue",  "magenta", "cyan",  "white"};

// The fields of each object of a description; an element's are its header
// fields and its type's payload fields (ElementType::keys). The schema
// (schema/ledview.schema.json) lists the same.
inline constexpr const char* kBillKeys[] = {"$schema", "sign", "pages", "reserved", "trailing"};
inline constexpr const char* kSignKeys[] = {"width", "height", "mode", "font"};
inline constexpr const char* kPageKeys[] = {"border", "rawborder", "playtime", "areas"};
inline constexpr const char* kAreaKeys[] = {"rect", "static", "components"};
inline constexpr const char* kComponentKeys[] = {"rect", "border", "rawborder", "elements"};
// Border types 1..8 are the border table's; 0 and any other value draw none.
inline constexpr uint32_t kMaxBorder = 8;
inline constexpr const char* kHeaderKeys[] = {"type",  "delay", "speed",   "rawspeed",
                                              "entry", "exit",  "stay",    "payload"};
inline constexpr const char* kTargetKeys[] = {"year", "month", "day", "hour", "minute", "second"};

// Fields of one picture source, {"png": file} or {"text": ...}.
inline constexpr const char* kSourceKeys[] = {"png",   "text",  "font",  "size",
                                              "align", "width", "height"};
// Fields of a strip of frames: an animation's, or a clock's digits and labels.
inline constexpr const char* kStripKeys[] = {"frames", "texts",  "font",  "size",
                                             "colour", "format", "align", "width",
                                             "height", "pitch",  "count"};

// Builds an element's payload from its fields; errors name `path`.
using PayloadBuilder = bool(const In& in, const Json& element, const std::string& path,
                            std::vector<uint8_t>* payload);
// Adds the fields that say a payload to `json`, and its pictures to
// *pictures under names starting with `name`; false when they cannot say it.
using PayloadDescriber = bool(const std::vector<uint8_t>& payload, const std::string& name,
                              PendingFiles* pictures, Json& json);

struct ElementType {
  uint16_t elemtype;
  const char* name;
  std::span<const char* const> keys;  // payload fields, beside the header fields
  PayloadBuilder* build;
  PayloadDescriber* describe;
};

// Every element type the description names, in elemtype order.
std::span<const ElementType> ElementTypes();
// The row of an element type, or nullptr when it has none.
const ElementType* FindElementType(uint32_t elemtype);
const ElementType* ElementTypeByName(const std::string& name);

// The rows' functions: builders in describe_read.cpp, describers in
// describe_write.cpp.
PayloadBuilder BuildPicturePayload, BuildStringPayload, BuildTimerPayload,
    BuildAnalogClockPayload, BuildDigitalClockPayload, BuildStripPayload;
PayloadDescriber DescribePicturePayload, DescribeStringPayload, DescribeTimerPayload,
    DescribeAnalogClockPayload, DescribeDigitalClockPayload, DescribeStripPayload;

// One element from its description; inspect uses it to check that the
// fields it wrote build the element's bytes again.
bool BuildElement(const In& in, const Json& e, const std::string& path, bill::Element* out);

}  // namespace ledview::tool
