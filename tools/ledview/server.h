// The HTTP server of `serve`: cpp-httplib's request handling behind a
// connection reader of our own that bounds what a client can make it hold.
// Each request's head is read whole, within a size, a count of fields and a
// time, before any of it is parsed; a head too large is refused with 431
// after at most kMaxHeadBytes, a slow one closed; every wait sees the stop.
#pragma once
#include <httplib.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace ledview::tool {

inline constexpr size_t kMaxHeadBytes = 16384;
inline constexpr int32_t kMaxHeaderFields = 100;
// A connection's first request may take this long to arrive, a later one
// on a kept connection as long as kIdleMs.
inline constexpr int32_t kFirstByteMs = 5000;
inline constexpr int32_t kIdleMs = 2000;
// From a head's first byte to its end; and the most any single read or
// write of a request's body or answer waits.
inline constexpr int32_t kHeadMs = 3000;
inline constexpr int32_t kReadMs = 3000;
inline constexpr int32_t kWriteMs = 5000;
inline constexpr int32_t kRequestsPerConnection = 100;

class BoundedServer : public httplib::Server {
 public:
  explicit BoundedServer(const std::atomic<bool>* stopping) : stopping_(stopping) {}
  // Room for a page load's connections while some others idle.
  void SetBacklog(int32_t backlog);

 private:
  bool process_and_close_socket(socket_t sock) override;
  const std::atomic<bool>* stopping_;
};

}  // namespace ledview::tool
