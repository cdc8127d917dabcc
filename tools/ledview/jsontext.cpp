#include "ledview/jsontext.h"

#include <algorithm>
#include <cstdio>

#include "ledview/gbcode.h"

namespace ledview::tool {

namespace {

// The text a parse error quotes, fit for one line of a terminal: bytes that
// are not UTF-8 and control characters as \xNN, and at most `limit`
// characters of it.
std::string Printable(const std::string& text, size_t limit) {
  std::string out;
  size_t shown = 0;
  for (size_t at = 0; at < text.size();) {
    if (shown++ == limit) return out + "...";
    const size_t start = at;
    uint32_t code = 0;
    if (NextCodePoint(text, &at, &code) && code >= 0x20 && code != 0x7F && (code < 0x80 || code >= 0xA0)) {
      out.append(text, start, at - start);
      continue;
    }
    at = start + 1;
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[start]));
    out += escaped;
  }
  return out;
}

// Records a JSON syntax error with its place instead of throwing.
struct SaxWithError : nlohmann::detail::json_sax_dom_parser<Json> {
  using json_sax_dom_parser::json_sax_dom_parser;
  std::string message;
  int32_t depth = 0;

  // Deeper nesting is refused while parsing, so that no walk over a parsed
  // text (recursive ones among them) meets more than kMaxJsonDepth levels.
  bool Deeper() {
    if (++depth <= kMaxJsonDepth) return true;
    message = "arrays and objects nested more than " + std::to_string(kMaxJsonDepth) + " deep";
    return false;
  }
  bool start_object(std::size_t size) { return Deeper() && json_sax_dom_parser::start_object(size); }
  bool start_array(std::size_t size) { return Deeper() && json_sax_dom_parser::start_array(size); }
  bool end_object() {
    --depth;
    return json_sax_dom_parser::end_object();
  }
  bool end_array() {
    --depth;
    return json_sax_dom_parser::end_array();
  }
  template <class Exception>
  bool parse_error(std::size_t, const std::string&, const Exception& ex) {
    message = ex.what();
    const std::string prefix = "parse error at ";
    const size_t at = message.find(prefix);
    if (at != std::string::npos) message = message.substr(at + prefix.size());
    // The token read last, quoted raw, may be long or not UTF-8.
    const std::string lastread = "last read: '";
    const size_t quote = message.find(lastread);
    const size_t end = message.rfind("'");
    if (quote != std::string::npos && end >= quote + lastread.size()) {
      const size_t from = quote + lastread.size();
      message = message.substr(0, from) + Printable(message.substr(from, end - from), 40) + message.substr(end);
    }
    return false;
  }
};

void WriteJson(const Json& j, int depth, std::string* out) {
  const std::string pad(static_cast<size_t>(depth + 1) * 2, ' ');
  const std::string close(static_cast<size_t>(depth) * 2, ' ');
  if (j.is_object() && !j.empty()) {
    *out += "{\n";
    size_t i = 0;
    for (auto it = j.begin(); it != j.end(); ++it, ++i) {
      *out += pad + Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
      WriteJson(*it, depth + 1, out);
      *out += i + 1 < j.size() ? ",\n" : "\n";
    }
    *out += close + "}";
    return;
  }
  const bool flat = std::all_of(j.begin(), j.end(), [](const Json& v) { return v.is_primitive(); });
  if (j.is_array() && !j.empty() && !flat) {
    *out += "[\n";
    for (size_t i = 0; i < j.size(); ++i) {
      *out += pad;
      WriteJson(j[i], depth + 1, out);
      *out += i + 1 < j.size() ? ",\n" : "\n";
    }
    *out += close + "]";
    return;
  }
  if (j.is_array()) {
    *out += "[";
    for (size_t i = 0; i < j.size(); ++i) {
      *out += (i > 0 ? ", " : "") + j[i].dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    *out += "]";
    return;
  }
  *out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

bool ParseJson(const std::string& text, Json* out, std::string* error) {
  *out = Json();
  SaxWithError sax(*out, false);
  if (!Json::sax_parse(text, &sax, nlohmann::detail::input_format_t::json, true, true) ||
      !sax.message.empty()) {
    *error = sax.message.empty() ? "not JSON" : sax.message;
    return false;
  }
  return true;
}

std::string JsonText(const Json& json) {
  std::string out;
  WriteJson(json, 0, &out);
  return out + "\n";
}

}  // namespace ledview::tool
