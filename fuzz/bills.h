// Playbills shared by the seed writer and the call-order target, and the
// input layouts the targets and their seeds agree on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ledview::fuzz {

// What loading a built-in playbill must give on a sign it fits.
enum class BillKind {
  Loads,     // valid and within the record pools: 0
  Overflow,  // valid, but more records than the pools hold: -1
  Invalid,   // rejected by validation: -2 whatever the sign
};

struct NamedBill {
  std::string name;
  BillKind kind;
  uint16_t width;   // the right and bottom edge of its areas
  uint16_t height;
  std::vector<uint8_t> bytes;
};

// Every built-in playbill, in a fixed order.
const std::vector<NamedBill>& FuzzBills();

// Playbill target input: this header, `billlength` playbill bytes (fewer when
// the input ends first), then the operations.
struct PlaybillInputHeader {
  uint16_t width;   // sign width = 1 + width % 1024
  uint16_t height;  // sign height = 1 + height % 512
  uint8_t mode;     // colour mode = 1 + mode % 5
  uint8_t flags;    // PlaybillFlag bits
  uint8_t tps;      // action ticks reported between two seconds
  uint8_t spare;
  uint32_t billlength;
};
inline constexpr size_t kPlaybillHeaderBytes = 12;

enum PlaybillFlag : uint8_t {
  kFlagLink = 1,        // the link indicator may show and starts shown
  kFlagPadRows = 2,     // output rows carry 3 bytes of padding past the width
  kFlagCjkFont = 4,     // the outline font is the CJK one, when present
};

// One operation byte: the low 3 bits name it, the rest is a count - 1.
enum PlaybillOp : uint8_t {
  kOpActions = 0,  // (count x 8) rounds of NotifyActtion + RefreshBuffer
  kOpSeconds = 1,  // count seconds, each with `tps` action rounds
  kOpString = 2,   // UpdateString: id byte (signed), length byte, text
  kOpRefresh = 3,  // count RefreshBuffer calls
  kOpLink = 4,     // ShowLink when count is odd, else HideLink
  kOpRestart = 5,  // EndPreview, then register a buffer and load again
  kOpTest = 6,     // TestPlayBillData on the playbill again
  kOpBurst = 7,    // count x 8 NotifyActtion, then one RefreshBuffer
};
constexpr uint8_t Op(PlaybillOp op, uint32_t count) {
  return static_cast<uint8_t>(op | ((count - 1) & 31) << 3);
}

std::vector<uint8_t> PlaybillInput(const PlaybillInputHeader& header,
                                   const std::vector<uint8_t>& bill,
                                   const std::vector<uint8_t>& ops);

}  // namespace ledview::fuzz
