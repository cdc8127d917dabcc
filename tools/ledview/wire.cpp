#include "ledview/wire.h"

#include <cstring>

namespace ledview::tool {

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string Base64(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t n = uint32_t{bytes[i]} << 16 | (i + 1 < bytes.size() ? uint32_t{bytes[i + 1]} << 8 : 0) |
                       (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    out += kBase64[n >> 18 & 63];
    out += kBase64[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

namespace {

bool Unbase64(const std::string& text, std::vector<uint8_t>* out) {
  out->clear();
  if (text.size() % 4 != 0) return false;
  uint32_t n = 0;
  int32_t bits = 0;
  size_t pad = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    uint32_t v = 0;
    if (c == '=') {
      if (i + 2 < text.size()) return false;
      ++pad;
    } else {
      const char* at = std::strchr(kBase64, c);
      if (c == '\0' || at == nullptr || pad != 0) return false;
      v = static_cast<uint32_t>(at - kBase64);
    }
    n = n << 6 | v;
    bits += 6;
    if (bits == 24) {
      out->push_back(static_cast<uint8_t>(n >> 16));
      out->push_back(static_cast<uint8_t>(n >> 8));
      out->push_back(static_cast<uint8_t>(n));
      n = 0;
      bits = 0;
    }
  }
  out->resize(out->size() - pad);
  return true;
}

}  // namespace

std::string EncodeLeds(const std::vector<uint8_t>& leds) {
  std::vector<uint8_t> runs;
  for (size_t i = 0; i < leds.size();) {
    const uint8_t v = leds[i] & 7;
    size_t n = 1;
    while (n < 32 && i + n < leds.size() && (leds[i + n] & 7) == v) ++n;
    runs.push_back(static_cast<uint8_t>((n - 1) << 3 | v));
    i += n;
  }
  return Base64(runs);
}

bool DecodeLeds(const std::string& text, size_t count, std::vector<uint8_t>* leds) {
  std::vector<uint8_t> runs;
  if (!Unbase64(text, &runs)) return false;
  leds->clear();
  leds->reserve(count);
  for (uint8_t r : runs) leds->insert(leds->end(), (r >> 3) + 1u, static_cast<uint8_t>(r & 7));
  return leds->size() == count;
}

}  // namespace ledview::tool
