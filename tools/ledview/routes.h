// The HTTP routes of `serve`: the page, its files, the show, the event
// stream and the controls; and who may use them.
#pragma once
#include <httplib.h>

#include <cstdint>
#include <string>

#include "ledview/hub.h"
#include "ledview/showengine.h"

namespace ledview::tool {

// Pages that may watch at once; each holds one of the server's threads.
inline constexpr int32_t kMaxStreams = 8;
inline constexpr size_t kMaxBody = 4096;
inline constexpr size_t kMaxStringBytes = 1024;
inline constexpr double kMaxSeekSeconds = 3600;

struct RouteContext {
  Hub* hub = nullptr;
  EngineQueue* queue = nullptr;
  std::string host;  // the address the server listens on, as --host gave it
  int32_t port = 0;
};

// A Host header that names this server: localhost, 127.0.0.1 or [::1], or
// the name or address it listens on (any address literal when that is a
// wildcard), with its port. Any other name may be a page's own name that
// points here (DNS rebinding).
bool HostAllowed(const std::string& header, const std::string& listenhost, int32_t port);
// A control request may come from the page itself or from a program that is
// no page (no Origin, no Sec-Fetch-Site), never from another site's page.
bool SameSite(const std::string& origin, const std::string& fetchsite, const std::string& host);

void SetRoutes(httplib::Server* svr, const RouteContext* context);

}  // namespace ledview::tool
