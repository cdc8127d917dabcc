#include "ledview/jsontext.h"

#include <algorithm>

namespace ledview::tool {

namespace {

// Records a JSON syntax error with its place instead of throwing.
struct SaxWithError : nlohmann::detail::json_sax_dom_parser<Json> {
  using json_sax_dom_parser::json_sax_dom_parser;
  std::string message;
  template <class Exception>
  bool parse_error(std::size_t, const std::string&, const Exception& ex) {
    message = ex.what();
    const std::string prefix = "parse error at ";
    const size_t at = message.find(prefix);
    if (at != std::string::npos) message = message.substr(at + prefix.size());
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
