#include "ledview/routes.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "ledview/gbcode.h"
#include "ledview/jsontext.h"
#include "ledview/warnings.h"
#include "ledview/web_css.h"
#include "ledview/web_html.h"
#include "ledview/web_js.h"

namespace ledview::tool {

namespace {

// A stream with nothing to say writes a comment this often, which finds
// pages that have gone.
constexpr auto kHeartbeat = std::chrono::milliseconds(2000);

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool IsAddress(const std::string& name) {
  unsigned char bytes[16];
  return inet_pton(AF_INET, name.c_str(), bytes) == 1 || inet_pton(AF_INET6, name.c_str(), bytes) == 1;
}

void Answer(httplib::Response& res, int status, const std::string& line) {
  res.status = status;
  res.set_content(line + "\n", "text/plain; charset=utf-8");
}

// Bodies are small JSON objects; false with the answer given when the body
// is not one.
bool BodyObject(const httplib::Request& req, httplib::Response& res, Json* body) {
  std::string error;
  if (!ParseJson(req.body, body, &error)) {
    Answer(res, 400, "bad JSON: " + error);
    return false;
  }
  if (!body->is_object()) {
    Answer(res, 400, "bad JSON: expected an object");
    return false;
  }
  return true;
}

bool NumberField(const Json& body, const char* key, double low, double high, double* out,
                 httplib::Response& res) {
  const auto it = body.find(key);
  if (it == body.end() || !it->is_number() || !(it->get<double>() >= low && it->get<double>() <= high)) {
    char line[128];
    std::snprintf(line, sizeof line, "\"%s\": expected a number from %g to %g", key, low, high);
    Answer(res, 400, line);
    return false;
  }
  *out = it->get<double>();
  return true;
}

void Send(const RouteContext* c, Request r, httplib::Response& res) {
  if (!Enqueue(c->queue, std::move(r))) {
    return Answer(res, 503, "the show is busy with earlier controls; try again");
  }
  res.status = 204;
}

void Embedded(httplib::Response& res, const unsigned char* bytes, size_t size, const char* type) {
  res.set_content(std::string(reinterpret_cast<const char*>(bytes), size), type);
}

void GetPage(const RouteContext*, const httplib::Request&, httplib::Response& res) {
  Embedded(res, kIndexHtml, kIndexHtmlSize, "text/html; charset=utf-8");
}

void GetCss(const RouteContext*, const httplib::Request&, httplib::Response& res) {
  Embedded(res, kPageCss, kPageCssSize, "text/css; charset=utf-8");
}

void GetJs(const RouteContext*, const httplib::Request&, httplib::Response& res) {
  Embedded(res, kPageJs, kPageJsSize, "text/javascript; charset=utf-8");
}

// The page loads show.js first: a folder export-web writes describes its
// show there for the engine in the page; here the frames come from the
// server's events, so it describes nothing.
void GetShowScript(const RouteContext*, const httplib::Request&, httplib::Response& res) {
  res.set_content("// The frames come from the server's events.\n", "text/javascript; charset=utf-8");
}

void GetShow(const RouteContext* c, const httplib::Request&, httplib::Response& res) {
  std::lock_guard<std::mutex> lock(c->hub->m);
  res.set_content(c->hub->show, "application/json");
}

void GetEvents(const RouteContext* c, const httplib::Request&, httplib::Response& res) {
  Hub* hub = c->hub;
  {
    std::lock_guard<std::mutex> lock(hub->m);
    if (hub->streams >= kMaxStreams) {
      return Answer(res, 503, "too many pages watching (at most " + std::to_string(kMaxStreams) + ")");
    }
    ++hub->streams;
  }
  res.set_header("Cache-Control", "no-store");
  uint64_t cursor = 0;
  bool greeted = false;
  res.set_chunked_content_provider(
      "text/event-stream",
      [hub, cursor, greeted](size_t, httplib::DataSink& sink) mutable {
        std::string out;
        if (!NextForPage(hub, &cursor, greeted, kHeartbeat, &out)) return false;
        greeted = true;
        if (out.empty()) out = ":\n\n";
        return sink.write(out.data(), out.size());
      },
      [hub](bool) {
        std::lock_guard<std::mutex> lock(hub->m);
        --hub->streams;
      });
}

template <Command kCommand>
void PostSimple(const RouteContext* c, const httplib::Request&, httplib::Response& res) {
  Request r;
  r.command = kCommand;
  Send(c, std::move(r), res);
}

void PostSpeed(const RouteContext* c, const httplib::Request& req, httplib::Response& res) {
  Json body;
  Request r;
  if (!BodyObject(req, res, &body) || !NumberField(body, "speed", 0.25, 8, &r.value, res)) return;
  r.command = Command::Speed;
  Send(c, std::move(r), res);
}

void PostSeek(const RouteContext* c, const httplib::Request& req, httplib::Response& res) {
  Json body;
  Request r;
  if (!BodyObject(req, res, &body) || !NumberField(body, "second", 0, kMaxSeekSeconds, &r.value, res)) return;
  r.command = Command::Seek;
  Send(c, std::move(r), res);
}

void PostString(const RouteContext* c, const httplib::Request& req, httplib::Response& res) {
  Json body;
  double id = 0;
  if (!BodyObject(req, res, &body) || !NumberField(body, "id", 1, 65535, &id, res)) return;
  const auto text = body.find("text");
  if (text == body.end() || !text->is_string()) return Answer(res, 400, "\"text\": expected a string");
  if (text->get<std::string>().size() > kMaxStringBytes) {
    return Answer(res, 400, "\"text\": longer than " + std::to_string(kMaxStringBytes) + " bytes");
  }
  Request r;
  r.command = Command::String;
  r.id = static_cast<int32_t>(id);
  {
    std::lock_guard<std::mutex> lock(c->hub->m);
    const auto& ids = c->hub->stringids;
    if (id != r.id || std::find(ids.begin(), ids.end(), r.id) == ids.end()) {
      return Answer(res, 400, "\"id\": the show has no live string " + body["id"].dump());
    }
  }
  std::string why;
  if (!Utf8ToGb(text->get<std::string>(), &r.text, &why)) return Answer(res, 400, "\"text\": " + why);
  const int32_t id32 = r.id;
  Send(c, std::move(r), res);
  if (res.status != 204) return;
  // Taken; but a string set while no page showing it is up is lost at the
  // next page change, which the author should know.
  std::lock_guard<std::mutex> lock(c->hub->m);
  const int32_t page = c->hub->page;
  if (page < 0 || static_cast<size_t>(page) >= c->hub->pagestrings.size()) return;
  const auto& shown = c->hub->pagestrings[static_cast<size_t>(page)];
  if (std::find(shown.begin(), shown.end(), id32) == shown.end()) {
    res.status = 200;
    res.set_content(LiveStringLost("string " + std::to_string(id32), page, id32, "now") + "\n",
                    "text/plain; charset=utf-8");
  }
}

using RouteHandler = void (*)(const RouteContext*, const httplib::Request&, httplib::Response&);

struct Route {
  const char* path;
  const char* method;
  RouteHandler handler;
};

constexpr Route kRoutes[] = {
    {"/", "GET", GetPage},
    {"/ledview.css", "GET", GetCss},
    {"/ledview.js", "GET", GetJs},
    {"/show.js", "GET", GetShowScript},
    {"/events", "GET", GetEvents},
    {"/show", "GET", GetShow},
    {"/play", "POST", PostSimple<Command::Play>},
    {"/pause", "POST", PostSimple<Command::Pause>},
    {"/step", "POST", PostSimple<Command::Step>},
    {"/restart", "POST", PostSimple<Command::Restart>},
    {"/speed", "POST", PostSpeed},
    {"/seek", "POST", PostSeek},
    {"/string", "POST", PostString},
};

// Everything a request must pass before its route: its Host, its method,
// for controls its site and the type of its body. A control with no body
// and no Content-Length is carried out here at once, with an empty body
// (the parser would wait for the connection to close).
httplib::Server::HandlerResponse Screen(const RouteContext* c, const httplib::Request& req,
                                        httplib::Response& res) {
  using Outcome = httplib::Server::HandlerResponse;
  const std::string host = req.get_header_value("Host");
  if (!HostAllowed(host, c->host, c->port)) {
    Answer(res, 403, "this server answers only to its own address, not to Host \"" + host.substr(0, 100) + "\"");
    return Outcome::Handled;
  }
  const Route* route = nullptr;
  for (const Route& r : kRoutes) {
    if (req.path == r.path) route = &r;
  }
  if (route == nullptr) {
    Answer(res, 404, "no such page");
    return Outcome::Handled;
  }
  const bool get = std::strcmp(route->method, "GET") == 0;
  if (req.method != route->method && !(get && req.method == "HEAD")) {
    res.set_header("Allow", get ? "GET, HEAD" : route->method);
    Answer(res, 405, std::string(req.path) + " takes " + route->method + " only");
    return Outcome::Handled;
  }
  // A chunked body's size is known only once it has been read whole.
  if (req.has_header("Transfer-Encoding")) {
    Answer(res, 411, "a request body needs a Content-Length (at most " + std::to_string(kMaxBody) + " bytes)");
    return Outcome::Handled;
  }
  if (get) return Outcome::Unhandled;
  if (!SameSite(req.get_header_value("Origin"), req.get_header_value("Sec-Fetch-Site"), host)) {
    Answer(res, 403, "controls are taken from the page itself only, not from another site");
    return Outcome::Handled;
  }
  // Only a JSON body: another site's page cannot send one without asking
  // first, and the server grants no such request.
  const std::string type = Lower(req.get_header_value("Content-Type"));
  const bool json = type == "application/json" || type.rfind("application/json;", 0) == 0;
  const bool sized = req.has_header("Content-Length");
  const bool empty = !sized || req.get_header_value("Content-Length") == "0";
  if (!json && (!type.empty() || !empty)) {
    Answer(res, 415, "a request body must be JSON (Content-Type: application/json)");
    return Outcome::Handled;
  }
  if (sized) return Outcome::Unhandled;
  route->handler(c, req, res);
  return Outcome::Handled;
}

}  // namespace

bool HostAllowed(const std::string& header, const std::string& listenhost, int32_t port) {
  std::string name;
  std::string porttext;
  if (!header.empty() && header[0] == '[') {
    const size_t close = header.find(']');
    if (close == std::string::npos) return false;
    name = header.substr(1, close - 1);
    const std::string rest = header.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') return false;
      porttext = rest.substr(1);
    }
  } else {
    const size_t colon = header.find(':');
    name = header.substr(0, colon);
    if (colon != std::string::npos) {
      porttext = header.substr(colon + 1);
      if (porttext.find(':') != std::string::npos) return false;
    }
  }
  if (porttext.empty()) {
    if (port != 80) return false;
  } else if (porttext.size() > 5 || !std::all_of(porttext.begin(), porttext.end(), ::isdigit) ||
             std::stoi(porttext) != port) {
    return false;
  }
  name = Lower(name);
  if (name == "localhost" || name == "127.0.0.1" || name == "::1") return true;
  std::string listen = Lower(listenhost);
  if (listen.size() >= 2 && listen.front() == '[' && listen.back() == ']') listen = listen.substr(1, listen.size() - 2);
  if (!name.empty() && name == listen) return true;
  const bool wildcard = listen.empty() || listen == "0.0.0.0" || listen == "::";
  return wildcard && IsAddress(name);
}

bool SameSite(const std::string& origin, const std::string& fetchsite, const std::string& host) {
  if (!fetchsite.empty() && fetchsite != "same-origin" && fetchsite != "none") return false;
  return origin.empty() || Lower(origin) == "http://" + Lower(host);
}

void SetRoutes(httplib::Server* svr, const RouteContext* context) {
  svr->set_pre_routing_handler(
      [context](const httplib::Request& req, httplib::Response& res) { return Screen(context, req, res); });
  svr->set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) {
      const char* why = res.status == 413 ? "request body too large"
                        : res.status == 414 ? "request line too long"
                        : res.status == 404 ? "no such page"
                                            : "bad request";
      Answer(res, res.status, why);
    }
  });
  for (const Route& r : kRoutes) {
    const RouteHandler handler = r.handler;
    const auto call = [context, handler](const httplib::Request& req, httplib::Response& res) {
      handler(context, req, res);
    };
    if (std::strcmp(r.method, "GET") == 0) {
      svr->Get(r.path, call);
    } else {
      svr->Post(r.path, call);
    }
  }
}

}  // namespace ledview::tool
