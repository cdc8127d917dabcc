// The JSON description of a playbill: `build` turns one into playbill bytes,
// `inspect` turns playbill bytes back into one that builds to the same bytes.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "billfile/billwriter.h"
#include "ledview/effectnames.h"
#include "ledview/jsontext.h"

namespace ledview::tool {

// Files a description names that are not on disk yet: inspect checks its
// own output through them before it writes anything.
using PendingFiles = std::map<std::string, std::vector<uint8_t>>;

struct BuildContext {
  std::string basedir;                    // relative file names start here
  const PendingFiles* pending = nullptr;  // consulted before the disk
  bool pendingonly = false;               // never the disk: a file not pending is missing
  // Where build's warnings go ("warning: <object path>: ..."), when wanted.
  std::vector<std::string>* warnings = nullptr;
};

// The sign a description was written for ("sign": {"width", "height",
// "mode"}), when it names one; build uses it for default rectangles, render
// and check for their defaults.
struct SignSize {
  int32_t width = 0;
  int32_t height = 0;
  int32_t mode = 0;
  // The outline font its strings are drawn with ("font"): a fontconfig name,
  // or a file's path (relative names found beside the description); "" when
  // it names none.
  std::string font;
  bool fromcontent = false;  // read off a playbill's areas and colours, not written down
};

// The description to the bill. On failure *error names the object path and
// the field, e.g. `pages[0].areas[1].components[0].elements[2].entry:
// unknown effect "SlideSideways"`.
bool BuildBill(const Json& description, const BuildContext& context, bill::Bill* out,
               SignSize* sign, std::string* error);

// Reads a description file and builds the playbill bytes; *warnings, when
// given, gets what the description asks that the sign will not show.
bool BuildFile(const std::string& path, std::vector<uint8_t>* bytes, SignSize* sign,
               std::string* error, std::vector<std::string>* warnings = nullptr);

// Timers, analog and digital clocks redraw every second without clearing:
// they need a static area, which the sign clears once a second.
inline bool RedrawsEverySecond(uint32_t elemtype) { return elemtype >= 3 && elemtype <= 5; }

// The bill as a description. Pictures become PNG files named
// `<stem>-<object>.png`, returned in *pictures (name to bytes) for the caller
// to write beside the description; an element whose payload the description
// cannot say exactly is kept as hex bytes.
bool DescribeBill(const bill::Bill& bill, const std::string& stem, Json* out,
                  PendingFiles* pictures, std::string* error);

// Element types: "picture" 1, "string" 2, "timer" 3, "analogclock" 4,
// "digitalclock" 5, "animation" 6, "pagedpicture" 7; "type N" for others.
std::string ElementTypeName(uint32_t elemtype);

}  // namespace ledview::tool
