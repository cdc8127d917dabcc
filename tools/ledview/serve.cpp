#include "ledview/serve.h"
#include "ledview/warnings.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "ledview/args.h"
#include "ledview/files.h"
#include "ledview/routes.h"
#include "ledview/server.h"
#include "ledview/showengine.h"
#include "ledview/signals.h"
#include "ledview/watcher.h"

namespace ledview::tool {

namespace {

namespace fs = std::filesystem;

// Threads for connections: the pages' streams, a page load's requests, and
// room for a few clients that idle until their time runs out.
constexpr int32_t kWorkers = kMaxStreams + 56;
constexpr int32_t kBacklog = 128;
// The most a stop may take, whatever clients, a rebuild or the engine are
// doing; what is left then is abandoned.
constexpr int32_t kStopWithinMs = 700;

bool IsLoopback(const std::string& host) {
  if (host == "localhost") return true;
  in_addr v4{};
  in6_addr v6{};
  std::string bare = host;
  if (bare.size() >= 2 && bare.front() == '[' && bare.back() == ']') bare = bare.substr(1, bare.size() - 2);
  if (inet_pton(AF_INET, bare.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  return inet_pton(AF_INET6, bare.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

std::string Url(const std::string& host, int32_t port) {
  const bool ipv6 = host.find(':') != std::string::npos && host.front() != '[';
  return "http://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
}

// The addresses that reach a server listening on `host`: the machine's own
// addresses when it is a wildcard, else the host itself.
std::string ReachedAt(const std::string& host, int32_t port) {
  const bool any4 = host == "0.0.0.0";
  const bool any6 = host == "::" || host == "[::]";
  if (!any4 && !any6) return Url(host, port);
  std::string urls;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return Url(host, port);
  for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
    if (a->ifa_addr == nullptr) continue;
    const int family = a->ifa_addr->sa_family;
    if (!(family == AF_INET || (family == AF_INET6 && any6))) continue;
    char text[INET6_ADDRSTRLEN] = "";
    const void* bytes = family == AF_INET
                            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr)
                            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(a->ifa_addr)->sin6_addr);
    if (inet_ntop(family, bytes, text, sizeof text) == nullptr || IsLoopback(text)) continue;
    if (family == AF_INET6 && IN6_IS_ADDR_LINKLOCAL(&reinterpret_cast<const sockaddr_in6*>(a->ifa_addr)->sin6_addr)) {
      continue;
    }
    urls += (urls.empty() ? "" : " ") + Url(text, port);
  }
  freeifaddrs(list);
  return urls.empty() ? Url(host, port) : urls;
}

}  // namespace

int RunServe(const ServeOptions& o) {
  const auto fail = [](const std::string& message) {
    std::fprintf(stderr, "ledview: %s\n", message.c_str());
    return 1;
  };
  if (o.tickms < 1 || o.tickms > 10000) return fail("--tick must be 1..10000 milliseconds");
  if (o.port < 0 || o.port > 65535) return fail("--port must be 0..65535");
  // From here on a stop signal ends the process within the limit, whatever
  // is under way.
  ExitWithinAfterStop(kStopWithinMs);
  if (stopsignal != 0) return 0;

  Hub hub;
  EngineQueue queue;
  Engine engine;
  engine.hub = &hub;
  engine.queue = &queue;
  engine.name = fs::path(o.input).filename().string();
  std::string error;
  if (!PrepareShow(o.input, o.font, o.size, o.mode, o.tickms, &engine.show, &error)) return fail(error);
  PrintWarnings(engine.show.warnings, stderr);
  hub.show = ShowJson(engine.show, engine.name).dump();
  hub.stringids = engine.show.stringids;
  hub.pagestrings = engine.show.pagestrings;

  Watcher watcher;
  watcher.options = &o;
  watcher.queue = &queue;
  if (!StartWatcher(&watcher, &error)) return fail(error);
  watcher.fingerprint = Fingerprint(engine.show);

  // A page or a reader of standard output that goes away mid-write must not
  // end the server.
  std::signal(SIGPIPE, SIG_IGN);
  std::thread enginethread(EngineThread, &engine);
  {
    std::unique_lock<std::mutex> lock(queue.m);
    while (!queue.started && stopsignal == 0) queue.cv.wait_for(lock, std::chrono::milliseconds(20));
  }
  const auto stopengine = [&] {
    Request r;
    r.command = Command::Stop;
    Enqueue(&queue, std::move(r));
    enginethread.join();
  };
  if (queue.startfailed || stopsignal != 0) {
    stopengine();
    return queue.startfailed ? fail(queue.starterror) : 0;
  }

  std::atomic<bool> stopping{false};
  BoundedServer svr(&stopping);
  svr.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
  svr.set_payload_max_length(kMaxBody);
  svr.set_tcp_nodelay(true);
  // Not SO_REUSEPORT: a port another server listens on is refused.
  svr.set_socket_options([](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  RouteContext routes;
  routes.hub = &hub;
  routes.queue = &queue;
  routes.host = o.host;
  SetRoutes(&svr, &routes);
  errno = 0;
  const int port = o.port == 0 ? svr.bind_to_any_port(o.host) : (svr.bind_to_port(o.host, o.port) ? o.port : -1);
  if (port < 0) {
    const bool inuse = errno == EADDRINUSE;
    stopengine();
    if (inuse) return fail("cannot listen on " + o.host + ":" + std::to_string(o.port) + ": the port is in use");
    return fail("cannot listen on " + o.host + ":" + std::to_string(o.port) +
                " (the port is in use, or the host is not an address of this machine)");
  }
  routes.port = port;
  svr.SetBacklog(kBacklog);
  std::printf("ledview: serving %s at %s\n", engine.name.c_str(), Url(o.host, port).c_str());
  std::fflush(stdout);
  if (!IsLoopback(o.host)) {
    std::fprintf(stderr,
                 "ledview: warning: --host %s opens the page and its controls to that network; anyone who "
                 "reaches %s can watch and control the show\n",
                 o.host.c_str(), ReachedAt(o.host, port).c_str());
  }

  std::thread watchthread(WatchThread, &watcher);
  std::atomic<bool> listening{true};
  std::thread listenthread([&svr, &listening] {
    svr.listen_after_bind();
    listening = false;
  });
  while (stopsignal == 0 && listening) std::this_thread::sleep_for(std::chrono::milliseconds(20));

  // Everything is told to stop at once; what has not stopped in time is
  // abandoned (the signal thread ends the process).
  stopping = true;
  StopHub(&hub);
  svr.stop();
  watcher.stopping = true;
  {
    Request r;
    r.command = Command::Stop;
    Enqueue(&queue, std::move(r));
  }
  for (std::thread* t : {&listenthread, &watchthread, &enginethread}) t->join();
  std::fprintf(stderr, "ledview: stopped\n");
  return 0;
}

}  // namespace ledview::tool
