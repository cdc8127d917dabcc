// `ledview serve`: plays a show in real time and serves it to browsers as a
// live page, rebuilding and restarting it whenever its description or the
// pictures it names are saved.
#pragma once
#include <cstdint>
#include <string>

namespace ledview::tool {

struct ServeOptions {
  std::string input;  // a JSON description or a .bill
  std::string size;   // WIDTHxHEIGHT, or "" for the description's sign
  int32_t mode = 0;   // 0: the description's
  std::string font;  // "": the description's, else one with the show's characters
  int32_t tickms = 10;
  std::string host = "127.0.0.1";
  int32_t port = 8080;  // 0 picks a free port
};

// Serves until SIGINT, SIGTERM or SIGHUP and returns the exit status.
// Prints the page's address on standard output once the show plays.
int RunServe(const ServeOptions& options);

}  // namespace ledview::tool
