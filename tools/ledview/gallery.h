// `ledview effects --gallery DIR`: every entry and exit effect played on one
// sample picture, a small GIF each, and an index.html that shows them side
// by side.
#pragma once
#include <string>

namespace ledview::tool {

// Writes the GIFs and index.html into `folder`, which must not exist yet or
// be empty; on failure nothing is left behind. `font` draws the sample
// picture (a fontconfig name or a path).
bool WriteGallery(const std::string& folder, const std::string& font, bool progress,
                  std::string* error);

}  // namespace ledview::tool
