#include "ledview/server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>

namespace ledview::tool {

namespace {

using Clock = std::chrono::steady_clock;

// A waited-for socket checks the stop this often.
constexpr int32_t kSliceMs = 100;

void Address(const sockaddr_storage& a, std::string* ip, int* port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (a.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&a);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    *port = ntohs(v4->sin_port);
  } else if (a.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    *port = ntohs(v6->sin6_port);
  }
  *ip = text;
}

// One client's connection: what was read ahead of the request's parsing
// comes first, then the socket.
struct Connection final : httplib::Stream {
  int fd = -1;
  const std::atomic<bool>* stopping = nullptr;
  std::string buffer;
  size_t at = 0;

  bool Wait(int16_t events, int32_t ms) const {
    for (int32_t waited = 0; waited < ms; waited += kSliceMs) {
      if (*stopping) return false;
      pollfd p{fd, events, 0};
      const int ready = poll(&p, 1, std::min(kSliceMs, ms - waited));
      if (ready > 0) return true;
      if (ready < 0 && errno != EINTR) return false;
    }
    return false;
  }

  bool is_readable() const override { return at < buffer.size() || Wait(POLLIN, kReadMs); }
  bool is_writable() const override { return Wait(POLLOUT, kWriteMs); }

  ssize_t read(char* ptr, size_t size) override {
    if (at < buffer.size()) {
      const size_t n = std::min(size, buffer.size() - at);
      std::copy_n(buffer.data() + at, n, ptr);
      at += n;
      return static_cast<ssize_t>(n);
    }
    if (!Wait(POLLIN, kReadMs)) return -1;
    return recv(fd, ptr, size, 0);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!Wait(POLLOUT, kWriteMs)) return -1;
    return send(fd, ptr, size, MSG_NOSIGNAL);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) Address(a, &ip, &port);
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) Address(a, &ip, &port);
  }

  socket_t socket() const override { return fd; }
};

enum class Head : int32_t { Ready, Closed, Slow, TooLarge };

// Where the head in `text` ends (after its blank line), or npos.
size_t HeadEnd(const std::string& text) {
  for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) {
    if (i + 1 < text.size() && text[i + 1] == '\n') return i + 2;
    if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n') return i + 3;
  }
  return std::string::npos;
}

// Reads the next request's head whole into the connection's buffer, with
// the bytes of a previous request already taken dropped.
Head ReadHead(Connection* c, int32_t firstms) {
  c->buffer.erase(0, c->at);
  c->at = 0;
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(firstms);
  bool begun = !c->buffer.empty();
  if (begun) deadline = Clock::now() + std::chrono::milliseconds(kHeadMs);
  for (;;) {
    const size_t end = HeadEnd(c->buffer);
    const size_t head = end == std::string::npos ? c->buffer.size() : end;
    const auto lines = std::count(c->buffer.begin(), c->buffer.begin() + static_cast<std::ptrdiff_t>(head), '\n');
    // The request line and the blank line besides the fields.
    if (head > kMaxHeadBytes || lines > kMaxHeaderFields + 2) return Head::TooLarge;
    if (end != std::string::npos) return Head::Ready;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return begun ? Head::Slow : Head::Closed;
    if (!c->Wait(POLLIN, static_cast<int32_t>(left))) {
      return begun && !*c->stopping && Clock::now() >= deadline ? Head::Slow : Head::Closed;
    }
    char chunk[4096];
    const ssize_t n = recv(c->fd, chunk, sizeof chunk, 0);
    if (n <= 0) return Head::Closed;
    if (!begun) {
      begun = true;
      deadline = Clock::now() + std::chrono::milliseconds(kHeadMs);
    }
    c->buffer.append(chunk, static_cast<size_t>(n));
  }
}

// Answers with one line and closes: the client's further bytes are read and
// dropped for a moment, so that it sees the answer instead of a reset.
void Refuse(Connection* c, int32_t status, const char* reason, const std::string& line) {
  const std::string body = line + "\n";
  const std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + reason +
                             "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  for (size_t sent = 0; sent < answer.size();) {
    const ssize_t n = c->write(answer.data() + sent, answer.size() - sent);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
  shutdown(c->fd, SHUT_WR);
  const Clock::time_point until = Clock::now() + std::chrono::seconds(1);
  char sink[16384];
  for (size_t drained = 0; drained < (8u << 20) && Clock::now() < until;) {
    if (!c->Wait(POLLIN, 250)) break;
    const ssize_t n = recv(c->fd, sink, sizeof sink, 0);
    if (n <= 0) break;
    drained += static_cast<size_t>(n);
  }
}

}  // namespace

void BoundedServer::SetBacklog(int32_t backlog) {
  // Listening again on a listening socket sets its backlog.
  ::listen(svr_sock_, backlog);
}

bool BoundedServer::process_and_close_socket(socket_t sock) {
  Connection c;
  c.fd = sock;
  c.stopping = stopping_;
  for (int32_t count = 0; count < kRequestsPerConnection && !*stopping_; ++count) {
    const Head head = ReadHead(&c, count == 0 ? kFirstByteMs : kIdleMs);
    if (head == Head::Closed) break;
    if (head == Head::Slow) {
      Refuse(&c, 408, "Request Timeout", "the request's head took too long");
      break;
    }
    if (head == Head::TooLarge) {
      Refuse(&c, 431, "Request Header Fields Too Large",
             "request head too large (at most " + std::to_string(kMaxHeadBytes) + " bytes and " +
                 std::to_string(kMaxHeaderFields) + " fields)");
      break;
    }
    bool closed = false;
    const bool last = count + 1 == kRequestsPerConnection;
    if (!process_request(c, last, closed, nullptr) || closed || last) break;
  }
  shutdown(sock, SHUT_RDWR);
  close(sock);
  return true;
}

}  // namespace ledview::tool
