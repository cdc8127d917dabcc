// `ledview serve`: plays a show in real time and serves it to browsers as a
// live page, rebuilding and restarting it whenever its description or the
// pictures it names are saved.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::tool {

struct ServeOptions {
  std::string input;  // a JSON description or a .bill
  std::string size;   // WIDTHxHEIGHT, or "" for the description's sign
  int32_t mode = 0;   // 0: the description's
  std::string font = "DejaVu Sans";
  int32_t tickms = 10;
  std::string host = "127.0.0.1";
  int32_t port = 8080;  // 0 picks a free port
};

// Serves until SIGINT or SIGTERM and returns the exit status. Prints the
// page's address on standard output once the show plays.
int RunServe(const ServeOptions& options);

// The LEDs on the wire: one byte a run of equal LEDs, the colour value
// (0..7) in its low three bits and the run's length less one in its high
// five, the bytes in base64.
std::string EncodeLeds(const std::vector<uint8_t>& leds);
// False when the text is not base64 or its runs do not make `count` LEDs.
bool DecodeLeds(const std::string& text, size_t count, std::vector<uint8_t>* leds);

}  // namespace ledview::tool
