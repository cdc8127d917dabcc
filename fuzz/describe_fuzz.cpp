// Description reader target: a JSON description and the PNG files it names,
// built into a playbill as `ledview build` does. A description that builds
// must give bytes the playbill reader takes, and inspect's description of
// them (its JSON text read back, with the pictures it wrote) must build to
// the same bytes again.
//
// Input: the JSON text, then up to four PNG files, each starting at its PNG
// signature; the description names them "0.png", "1.png", ... Nothing is
// read from the disk but the fuzz fonts, which every text is drawn with.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "billfile/billreader.h"
#include "common.h"
#include "ledview/describe.h"
#include "ledview/fonts.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr size_t kMaxPngFiles = 4;
// Bounds that keep a unit quick under the sanitizers: text sizes, picture and
// frame sides, and the pixels a PNG may declare.
constexpr int64_t kMaxTextSize = 64;
constexpr int64_t kMaxSide = 512;
constexpr uint64_t kMaxPngPixels = 256 * 256;

// False when a number under a field that sizes a picture is above its bound.
bool Small(const tool::Json& json) {
  if (json.is_array()) {
    for (const tool::Json& item : json) {
      if (!Small(item)) return false;
    }
  } else if (json.is_object()) {
    for (auto it = json.begin(); it != json.end(); ++it) {
      const tool::Json& v = it.value();
      if (v.is_number()) {
        const double n = v.get<double>();
        if (it.key() == "size" && n > kMaxTextSize) return false;
        if ((it.key() == "width" || it.key() == "height" || it.key() == "pitch") && n > kMaxSide) {
          return false;
        }
      }
      if (!Small(v)) return false;
    }
  }
  return true;
}

// The width and height a PNG's header declares, multiplied; 0 when it has none.
uint64_t DeclaredPixels(std::string_view png) {
  if (png.size() < 24) return 0;
  const auto u32 = [&](size_t at) {
    return uint64_t{static_cast<uint8_t>(png[at])} << 24 | uint64_t{static_cast<uint8_t>(png[at + 1])} << 16 |
           uint64_t{static_cast<uint8_t>(png[at + 2])} << 8 | uint64_t{static_cast<uint8_t>(png[at + 3])};
  };
  return u32(16) * u32(20);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tool::UseOnlyFonts({LEDVIEW_FUZZ_FONT, LEDVIEW_FUZZ_CJK_FONT});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find(kPngSignature);
  const std::string_view text = input.substr(0, cut);
  tool::PendingFiles files;
  while (cut != std::string_view::npos && files.size() < kMaxPngFiles) {
    const size_t next = input.find(kPngSignature, cut + kPngSignature.size());
    const std::string_view png = input.substr(cut, next == std::string_view::npos ? next : next - cut);
    if (DeclaredPixels(png) > kMaxPngPixels) return 0;
    files[std::to_string(files.size()) + ".png"].assign(png.begin(), png.end());
    cut = next;
  }

  tool::Json description;
  std::string error;
  if (!tool::ParseJson(std::string(text), &description, &error) || !Small(description)) return 0;
  tool::BuildContext context{.basedir = "", .pending = &files, .pendingonly = true};
  bill::Bill built;
  tool::SignSize sign;
  if (!tool::BuildBill(description, context, &built, &sign, &error)) {
    Expect(!error.empty(), "a refused description says why");
    return 0;
  }
  const std::vector<uint8_t> bytes = built.Bytes();

  bill::Bill read;
  Expect(bill::ReadBill(bytes, &read, &error), "the playbill reader takes what build wrote");
  tool::Json described;
  tool::PendingFiles pictures;
  Expect(tool::DescribeBill(read, "f", &described, &pictures, &error), "inspect describes it");
  tool::Json again;
  Expect(tool::ParseJson(tool::JsonText(described), &again, &error), "inspect writes JSON it reads");
  tool::BuildContext back{.basedir = "", .pending = &pictures, .pendingonly = true};
  bill::Bill rebuilt;
  if (!tool::BuildBill(again, back, &rebuilt, &sign, &error)) {
    std::fprintf(stderr, "%s\n%s\n", error.c_str(), tool::JsonText(described).c_str());
    Fail("inspect's description builds", 0, 1);
  }
  const std::vector<uint8_t> rebytes = rebuilt.Bytes();
  Expect(rebytes == bytes, "inspect's description builds to the same bytes",
         static_cast<long long>(rebytes.size()), static_cast<long long>(bytes.size()));
  return 0;
}
