#include "ledview/gbcode.h"

#include <cstdio>
#include <unordered_map>

#include "ledview_internal.h"

namespace ledview::tool {

namespace {

constexpr uint16_t kUnassigned = 0x3000;

// Lead byte of a table row: rows 0..8 are 0xA1..0xA9, rows 9..80 0xB0..0xF7.
uint8_t RowLead(int row) { return static_cast<uint8_t>(row < 9 ? 0xA1 + row : 0xB0 + row - 9); }

int LeadRow(uint8_t lead) {
  if (lead >= 0xA1 && lead <= 0xA9) return lead - 0xA1;
  if (lead >= 0xB0 && lead <= 0xF7) return lead - 0xB0 + 9;
  return -1;
}

// Unicode to the two bytes, lead in the low byte; the first code of a
// character wins.
const std::unordered_map<uint32_t, uint16_t>& Reverse() {
  static const std::unordered_map<uint32_t, uint16_t> table = [] {
    std::unordered_map<uint32_t, uint16_t> t;
    const GbTable gb = EngineGbTable();
    for (int i = 0; i < gb.count; ++i) {
      const uint16_t u = gb.entries[i];
      const int row = i / 94;
      const int col = i % 94;
      if (u == kUnassigned && !(row == 0 && col == 0)) continue;
      t.emplace(u, static_cast<uint16_t>(RowLead(row) | ((0xA1 + col) << 8)));
    }
    // The middle dot, the em dash and the double vertical line are common in
    // Chinese text; the usual reading of GB2312 gives them these codes,
    // which the engine's table reads otherwise.
    t.emplace(0x00B7, static_cast<uint16_t>(0xA1 | 0xA4 << 8));
    t.emplace(0x2014, static_cast<uint16_t>(0xA1 | 0xAA << 8));
    t.emplace(0x2016, static_cast<uint16_t>(0xA1 | 0xAC << 8));
    return t;
  }();
  return table;
}

}  // namespace

bool NextCodePoint(const std::string& text, size_t* at, uint32_t* code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const size_t i = *at;
  const uint8_t b = byte(i);
  int extra = 0;
  uint32_t c = 0;
  if (b < 0x80) {
    c = b;
  } else if ((b & 0xE0) == 0xC0) {
    extra = 1;
    c = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2;
    c = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3;
    c = b & 0x07;
  } else {
    return false;
  }
  if (i + extra >= text.size() && extra > 0) return false;
  for (int k = 1; k <= extra; ++k) {
    const uint8_t t = byte(i + k);
    if ((t & 0xC0) != 0x80) return false;
    c = (c << 6) | (t & 0x3F);
  }
  static constexpr uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  *at = i + 1 + extra;
  *code = c;
  return true;
}

void AppendUtf8(std::string* out, uint32_t c) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool Utf8ToGb(const std::string& utf8, std::string* gb, std::string* error) {
  gb->clear();
  size_t at = 0;
  while (at < utf8.size()) {
    uint32_t c = 0;
    if (!NextCodePoint(utf8, &at, &c)) {
      *error = "not UTF-8 at byte " + std::to_string(at);
      return false;
    }
    if (c == 0) {
      *error = "a NUL character ends the text early";
      return false;
    }
    if (c < 0x80) {
      gb->push_back(static_cast<char>(c));
      continue;
    }
    const auto found = Reverse().find(c);
    if (found == Reverse().end()) {
      char name[16];
      std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
      std::string shown;
      AppendUtf8(&shown, c);
      *error = "character \"" + shown + "\" (" + name + ") is not in GB2312";
      return false;
    }
    gb->push_back(static_cast<char>(found->second & 0xFF));
    gb->push_back(static_cast<char>(found->second >> 8));
  }
  return true;
}

bool GbToUtf8(const std::string& gb, std::string* utf8) {
  utf8->clear();
  for (size_t i = 0; i < gb.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(gb[i]);
    if (b == 0) return false;
    if (b < 0x80) {
      utf8->push_back(static_cast<char>(b));
      continue;
    }
    if (b <= 0xA0 || i + 1 >= gb.size()) return false;
    const uint8_t trail = static_cast<uint8_t>(gb[i + 1]);
    const int row = LeadRow(b);
    if (row < 0 || trail < 0xA1 || trail > 0xFE) return false;
    const uint16_t u = EngineGbTable().entries[row * 94 + (trail - 0xA1)];
    // Unassigned codes, and the second of two codes for one character,
    // would not come back as the same bytes.
    const auto back = Reverse().find(u);
    if (back == Reverse().end() || back->second != static_cast<uint16_t>(b | (trail << 8))) return false;
    AppendUtf8(utf8, u);
    ++i;
  }
  return true;
}

}  // namespace ledview::tool
