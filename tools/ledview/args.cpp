#include "ledview/args.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "ledview/billsign.h"
#include "ledview/files.h"
#include "ledview/fonts.h"
#include "ledview/gbcode.h"
#include "ledview/warnings.h"

namespace ledview::tool {

bool ParseSize(const std::string& text, int32_t* width, int32_t* height) {
  int w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > kMaxSignWidth ||
      h > kMaxSignHeight) {
    return false;
  }
  *width = w;
  *height = h;
  return true;
}

std::string SizeMistake(const std::string& text) {
  int w = 0, h = 0;
  char tail = 0;
  const std::string said = "--size \"" + text + "\": ";
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) == 2 && w >= 1 && h >= 1) {
    if (w > kMaxSignWidth) return said + "the width is at most " + std::to_string(kMaxSignWidth) + " LEDs";
    if (h > kMaxSignHeight) return said + "the height is at most " + std::to_string(kMaxSignHeight) + " LEDs";
  }
  return said + "expected WIDTHxHEIGHT, e.g. 128x32";
}

bool ParseStart(const std::string& text, int64_t* start) {
  if (text.empty() || text == "now") {
    *start = static_cast<int64_t>(std::time(nullptr));
    return true;
  }
  std::tm tm{};
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                  &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &tail) == 6) {
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    *start = static_cast<int64_t>(std::mktime(&tm));
    return *start != -1;
  }
  long long seconds = 0;
  if (std::sscanf(text.c_str(), "%lld%c", &seconds, &tail) == 1) {
    *start = seconds;
    return true;
  }
  return false;
}

// ID=TEXT@SECONDS
bool ParseString(const std::string& text, StringUpdate* out, std::string* error) {
  const size_t eq = text.find('=');
  const size_t at = text.rfind('@');
  if (eq == std::string::npos || at == std::string::npos || at < eq) {
    *error = "--string \"" + text + "\": expected ID=TEXT@SECONDS";
    return false;
  }
  int id = 0;
  double seconds = 0;
  char tail = 0;
  if (std::sscanf(text.substr(0, eq).c_str(), "%d%c", &id, &tail) != 1 || id < 1 || id > 65535 ||
      std::sscanf(text.substr(at + 1).c_str(), "%lf%c", &seconds, &tail) != 1 ||
      !(seconds >= 0 && seconds <= 86400)) {
    *error = "--string \"" + text + "\": expected ID=TEXT@SECONDS with an id 1..65535 and 0..86400 seconds";
    return false;
  }
  std::string why;
  if (!Utf8ToGb(text.substr(eq + 1, at - eq - 1), &out->text, &why)) {
    *error = "--string \"" + text + "\": " + why;
    return false;
  }
  out->id = id;
  out->atms = static_cast<int64_t>(seconds * 1000 + 0.5);
  return true;
}

namespace {

bool LooksLikeJson(const std::vector<uint8_t>& bytes) {
  for (uint8_t b : bytes) {
    if (b == ' ' || b == '\n' || b == '\r' || b == '\t') continue;
    return b == '{' || b == '/';
  }
  return false;
}

bool StartsWith(const std::vector<uint8_t>& bytes, const char* head, size_t n) {
  return bytes.size() >= n && std::equal(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n),
                                         reinterpret_cast<const uint8_t*>(head));
}

}  // namespace

std::string NotAPlaybill(const std::vector<uint8_t>& bytes) {
  bool blank = true;
  for (uint8_t b : bytes) blank = blank && (b == ' ' || b == '\n' || b == '\r' || b == '\t');
  if (blank) return bytes.empty() ? "empty" : "only blank space";
  if (LooksLikeJson(bytes)) return "a JSON description";
  if (StartsWith(bytes, "\x89PNG", 4)) return "a PNG picture";
  if (StartsWith(bytes, "GIF8", 4)) return "a GIF picture";
  if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return "a JPEG picture";
  if (StartsWith(bytes, "BM", 2)) return "a BMP picture";
  return "";
}

bool LoadInput(const std::string& path, std::vector<uint8_t>* bill, SignSize* sign,
               std::string* error, std::vector<std::string>* warnings) {
  std::vector<uint8_t> bytes;
  if (!ReadFile(path, kMaxInputBytes, &bytes, error)) return false;
  if (LooksLikeJson(bytes)) return BuildFile(path, bill, sign, error, warnings);
  const std::string kind = NotAPlaybill(bytes);
  if (!kind.empty()) {
    *error = path + ": is " + kind + ", not a playbill (.bill) or a JSON description (.json)";
    return false;
  }
  *bill = std::move(bytes);
  SignOfBill(*bill, sign);
  return true;
}

bool ChooseSign(const SignSize& sign, const std::string& size, int32_t mode, int32_t* width,
                int32_t* height, int32_t* colourmode) {
  *width = sign.width > 0 ? sign.width : 128;
  *height = sign.height > 0 ? sign.height : 32;
  *colourmode = mode != 0 ? mode : sign.mode > 0 ? sign.mode : 1;
  return size.empty() || ParseSize(size, width, height);
}

bool ChooseFont(const std::string& option, const SignSize& sign, const std::vector<uint8_t>& bill,
                std::string* path, std::string* error) {
  if (!option.empty()) return FindFont(option, path, error);
  if (!sign.font.empty()) return FindFont(sign.font, path, error);
  const std::vector<uint32_t> codes = OutlineChars(bill);
  std::string fallback;
  std::string why;
  const bool found = FindFont("DejaVu Sans", &fallback, &why);
  if (found && MissingChars(fallback, codes).empty()) {
    *path = fallback;
    return true;
  }
  const std::string other = codes.empty() ? "" : FontWithChars(codes);
  if (!other.empty()) {
    *path = other;
    return true;
  }
  if (!found) {
    *error = why;
    return false;
  }
  *path = fallback;
  return true;
}

}  // namespace ledview::tool
