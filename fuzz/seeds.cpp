// Writes the seed corpora of the fuzz targets: fuzz_seeds DIR makes
// DIR/playbill, DIR/calls, DIR/arena, DIR/layout, DIR/effects and
// DIR/window. The committed seeds in fuzz/corpus are this program's output.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bills.h"

using namespace ledview::fuzz;

namespace {

using Bytes = std::vector<uint8_t>;

bool Write(const std::string& dir, const std::string& name, const Bytes& bytes) {
  mkdir(dir.c_str(), 0755);
  const std::string path = dir + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// Forty-odd seconds of play with live-string updates, a burst of ticks, a
// restart and the link indicator.
Bytes LongScript() {
  return {Op(kOpSeconds, 20), Op(kOpString, 1), 1, 3, 'B', 'y', 'e', Op(kOpActions, 32),
          Op(kOpString, 1), 2, 6, 0xC4, 0xE3, 0xBA, 0xC3, '!', '\n', Op(kOpSeconds, 10),
          Op(kOpLink, 1), Op(kOpBurst, 4), Op(kOpSeconds, 4), Op(kOpLink, 2), Op(kOpRestart, 1),
          Op(kOpSeconds, 8), Op(kOpRefresh, 3), Op(kOpTest, 1)};
}

bool PlaybillSeeds(const std::string& dir) {
  bool ok = true;
  int n = 0;
  const uint8_t modes[] = {0, 1, 3};  // colour modes 1, 2 and 4
  for (const NamedBill& bill : FuzzBills()) {
    PlaybillInputHeader h{};
    h.width = 63;  // a 64 x 32 sign
    h.height = 31;
    h.mode = modes[n % 3];
    h.flags = static_cast<uint8_t>(n % 2 ? kFlagPadRows : 0);
    if (bill.name == "strings") h.flags |= kFlagCjkFont;
    h.tps = 24;
    ok &= Write(dir, bill.name, PlaybillInput(h, bill.bytes, LongScript()));
    ++n;
  }
  // The same playbills on other signs: larger, two-colour and too small.
  for (const NamedBill& bill : FuzzBills()) {
    if (bill.name != "pages" && bill.name != "strings" && bill.name != "clocks") continue;
    PlaybillInputHeader h{};
    h.width = 127;
    h.height = 63;
    h.mode = 1;
    h.flags = kFlagLink | kFlagPadRows;
    h.tps = 40;
    ok &= Write(dir, bill.name + "-128x64", PlaybillInput(h, bill.bytes, LongScript()));
    h.width = 31;
    h.height = 15;
    h.mode = 2;
    h.flags = 0;
    ok &= Write(dir, bill.name + "-32x16", PlaybillInput(h, bill.bytes, {}));
  }
  return ok;
}

// Opcodes and table positions of the call-order target.
enum CallOp : uint8_t { cInit, cFont, cBuffer, cBill, cTest, cString, cRefresh, cActions, cSecond,
                        cEnd, cShowLink, cHideLink, cRelease, cFailHeap, cLinkShow };
constexpr uint8_t kSize1 = 2, kSize32 = 8, kSize64 = 10, kSize600 = 18, kSizeNeg = 0;
constexpr uint8_t kMode1 = 2, kMode2 = 3, kMode9 = 8;
constexpr uint8_t kBuf64 = 11, kBuf32 = 9, kBufNeg = 1, kBuf33 = 10;
constexpr uint8_t kDelta0 = 2, kDelta3 = 4, kDeltaNeg = 1;

Bytes Lifecycle(uint8_t bill, uint8_t mode) {
  return {cInit, kSize64, kSize32, mode, cFont, 1, cBuffer, kBuf64, kBuf32, kDelta3, 1,
          cTest, bill, 0, cBill, bill, 0, cActions, 63, cRefresh, cSecond, cRefresh,
          cString, 2, 4, 1, 'a', 'b', 'c', 'd', 'e', cString, 2, 3, 1, 'x', 'y',
          cActions, 63, cRefresh, cLinkShow, 1, cShowLink, cActions, 20, cRefresh, cHideLink,
          cEnd, cBuffer, kBuf33, kBuf32, kDelta0, 1, cBill, bill, 5, cRefresh, cEnd, cRelease};
}

bool CallSeeds(const std::string& dir) {
  bool ok = true;
  const size_t count = FuzzBills().size();
  for (size_t i = 0; i < count; ++i) {
    ok &= Write(dir, "lifecycle-" + FuzzBills()[i].name,
                Lifecycle(static_cast<uint8_t>(i), i % 2 ? kMode2 : kMode1));
  }
  // Calls out of order and refused arguments.
  ok &= Write(dir, "out-of-order",
              {cFont, 1, cBuffer, kBuf64, kBuf32, kDelta0, 1, cBill, 0, 0, cString, 1, 3, 1, 'a',
               'b', cRefresh, cEnd, cInit, kSizeNeg, kSize32, kMode1, cInit, kSize600, kSize600,
               kMode9, cInit, kSize1, kSize1, kMode1, cBill, 0, 0, cFont, 0, cFont, 3, cFont, 4,
               cFont, 5, cFont, 6, cFont, 7, cBuffer, kBufNeg, kBufNeg, kDeltaNeg, 1, cBuffer,
               kBuf64, kBuf32, kDeltaNeg, 1, cBuffer, kBufNeg, kBuf32, kDelta3, 1, cFont, 1,
               cBill, 0, 0, cRelease, cRelease});
  ok &= Write(dir, "heap-refused",
              {cFailHeap, cInit, kSize64, kSize32, kMode1, cInit, kSize64, kSize32, kMode1,
               cFailHeap, cInit, kSizeNeg, kSize32, kMode1, cRelease, cInit, kSize64, kSize32,
               kMode1});
  ok &= Write(dir, "font-swaps",
              {cInit, kSize64, kSize32, kMode2, cBuffer, kBuf64, kBuf32, kDelta0, 1, cFont, 2,
               cFont, 6, cBill, 1, 0, cFont, 1, cBill, 1, 0, cBill, 2, 4, 0, 0, cBill, 3, 6,
               cBill, 3, 7, cBill, 3, 15, cEnd, cFont, 5, cBill, 1, 0, cRefresh, cRelease});
  return ok;
}

bool ArenaSeeds(const std::string& dir) {
  bool ok = true;
  // Small blocks through the fast bins, then a large request consolidates.
  Bytes fast = {3};
  for (int i = 0; i < 40; ++i) {
    fast.push_back(0);
    fast.push_back(static_cast<uint8_t>(i * 7));
  }
  for (int i = 0; i < 30; ++i) {
    fast.push_back(6);
    fast.push_back(static_cast<uint8_t>(i * 3));
    fast.push_back(0);
  }
  fast.insert(fast.end(), {3, 0, 0, 0x20, 0, 9, 1});
  ok &= Write(dir, "fast-consolidate", fast);
  // Every edge size once, freeing every other block, then all of them.
  Bytes edges = {4};
  for (uint8_t i = 0; i < 30; ++i) {
    edges.insert(edges.end(), {4, i});
    if (i % 2) edges.insert(edges.end(), {7, 0, 0});
  }
  edges.insert(edges.end(), {8, 9, 2});
  ok &= Write(dir, "edges", edges);
  // Large blocks up to the top, mixed with medium ones.
  Bytes large = {5};
  for (int i = 0; i < 12; ++i) {
    large.insert(large.end(), {2, static_cast<uint8_t>(i * 37), static_cast<uint8_t>(i * 11 + 2)});
    large.insert(large.end(), {3, 0, 0, static_cast<uint8_t>(i * 3), 0});
    if (i % 3 == 2) large.insert(large.end(), {6, static_cast<uint8_t>(i), 0});
  }
  large.insert(large.end(), {5, 0, 5, 40, 9, 1});
  ok &= Write(dir, "large-top", large);
  // Small private blocks, down to none at all.
  ok &= Write(dir, "block-small", {1, 0x40, 0x00, 0, 16, 0, 40, 2, 0x00, 0x01, 6, 0, 0, 9, 0});
  ok &= Write(dir, "block-tiny", {2, 24, 0, 0, 0, 4, 0, 9, 0});
  ok &= Write(dir, "block-none", {2, 7, 0, 1, 5, 3});
  return ok;
}

Bytes Layout(uint8_t font, uint8_t size, uint8_t width, uint8_t height, const std::string& text) {
  // size class 1 = 1 + byte % 64; width class 1 = byte; class 0 = measure.
  Bytes b = {font, 1, static_cast<uint8_t>(size - 1)};
  if (width) b.insert(b.end(), {1, width}); else b.push_back(0);
  if (height) b.insert(b.end(), {1, height}); else b.push_back(0);
  b.insert(b.end(), {3, 0});
  b.insert(b.end(), text.begin(), text.end());
  return b;
}

bool LayoutSeeds(const std::string& dir) {
  bool ok = true;
  ok &= Write(dir, "latin-bitmap", Layout(0, 16, 0, 0, "Hello, world"));
  ok &= Write(dir, "latin-outline", Layout(1, 24, 0, 0, "Hello, world"));
  ok &= Write(dir, "crlf", Layout(1, 32, 0, 0, "A\r\nB\nC\r\n\r\nD"));
  ok &= Write(dir, "digits", Layout(1, 40, 0, 0, "12.5 3.14\t0:59"));
  ok &= Write(dir, "wrap", Layout(1, 20, 64, 0, "The quick brown fox jumps over the lazy dog"));
  ok &= Write(dir, "wrap-bitmap", Layout(0, 12, 50, 0, "wrapped text in small cells 0123456789"));
  ok &= Write(dir, "gb2312-bitmap", Layout(0, 16, 0, 0, "\xc4\xe3\xba\xc3 LED \xb5\xc6\xa1\xa1"));
  ok &= Write(dir, "gb2312-outline", Layout(2, 30, 0, 0, "\xc4\xe3\xba\xc3\n\xd6\xd0\xce\xc4"));
  ok &= Write(dir, "fixed-box", Layout(1, 28, 40, 30, "clipped\nlines\nbelow"));
  ok &= Write(dir, "controls", Layout(1, 18, 0, 0, std::string("a\x01\x0b\x0c\x1f\x7f\xa0\xff", 8)));
  ok &= Write(dir, "lead-at-end", Layout(0, 16, 0, 0, "ab\xb0"));
  ok &= Write(dir, "nul-inside", Layout(1, 17, 0, 0, std::string("ab\0cd", 5)));
  return ok;
}

// Every effect once: a 64 x 32 sign, a 40 x 20 rectangle at (4, 2), the
// fastest speed and a 32 x 12 picture of one bit per pixel.
bool EffectSeeds(const std::string& dir) {
  bool ok = true;
  for (uint8_t which = 0; which < 62; ++which) {
    Bytes b = {static_cast<uint8_t>(which % 3), 63, 31, 1, 1, 4, 0, 2, 0, 40, 0, 20, 0, which, 8,
               32, 12, static_cast<uint8_t>(1 + which % 7), 0};
    for (int i = 0; i < 48; ++i) b.push_back(static_cast<uint8_t>(i * 37 + which));
    ok &= Write(dir, "effect-" + std::to_string(which), b);
  }
  // A slide up and left across a 3585 x 512 rectangle at speed 2: once a
  // unit of half a minute under the sanitizers.
  ok &= Write(dir, "slow-slide-up-left",
              {0x00, 0x3f, 0x1f, 0x00, 0x08, 0x0c, 0x30, 0x00, 0x14, 0x01, 0x0e, 0x00, 0x02, 0x0e, 0x32,
               0x58, 0x7d, 0xa2, 0xc7, 0xec, 0x11, 0x3f, 0x36});
  return ok;
}

// Window target: the first two bytes size the host's window, then opcodes
// (window_fuzz.cpp): 0 init (window, width, height, mode, font), 1 playbill
// (bill, variant), 2 ticks (count), 3 second, 4 end, 5 release, 6 destroy
// the window, 7 new window (width, height), 8 engine release, 9 engine end,
// 10 refuse a heap block (after), 11 host repaint.
bool WindowSeeds(const std::string& dir) {
  constexpr uint8_t wInit = 0, wBill = 1, wTicks = 2, wSecond = 3, wEnd = 4, wRelease = 5,
                    wDestroy = 6, wNewWindow = 7, wEngineRelease = 8, wEngineEnd = 9,
                    wFailHeap = 10, wRepaint = 11;
  // Window sides 100, 150, 320, 40, 20, 21; sign sides 64, 33, 16, 8, 513, 70000.
  constexpr uint8_t win100 = 6, win150 = 7, win320 = 8, win40 = 4, win20 = 2, win21 = 3;
  constexpr uint8_t s64 = 8, s33 = 7, s16 = 6, s8 = 5, s513 = 11, s70000 = 12;
  constexpr uint8_t mode1 = 1, mode2 = 2, mode4 = 4, mode5 = 5;
  bool ok = true;
  const size_t count = FuzzBills().size();
  for (size_t i = 0; i < count; ++i) {
    const uint8_t bill = static_cast<uint8_t>(i);
    ok &= Write(dir, "play-" + FuzzBills()[i].name,
                {win150, win100, wInit, 0, s64, s33, i % 2 ? mode4 : mode1, 0, wBill, bill, 0,
                 wSecond, wTicks, 15, wSecond, wTicks, 15, wRepaint, wTicks, 3, wSecond, wEnd,
                 wTicks, 1, wBill, bill, 0, wSecond, wRelease});
  }
  ok &= Write(dir, "engine-released-underneath",
              {win100, win40, wInit, 0, s16, s8, mode2, 0, wBill, 7, 0, wSecond, wTicks, 4,
               wEngineRelease, wTicks, 2, wSecond, wInit, 0, s33, s8, mode4, 0, wTicks, 1,
               wEngineEnd, wBill, 9, 0, wSecond, wEngineRelease, wRelease});
  ok &= Write(dir, "heap-refused",
              {win40, win40, wFailHeap, 0, wInit, 0, s16, s8, mode1, 0, wFailHeap, 1, wInit, 0,
               s16, s8, mode1, 0, wInit, 0, s16, s8, mode1, 0, wRelease, wInit, 0, s16, s8,
               mode1, 0, wTicks, 1, wRelease});
  ok &= Write(dir, "window-destroyed",
              {win150, win100, wInit, 0, s64, s33, mode5, 0, wBill, 9, 0, wSecond, wDestroy,
               wTicks, 8, wSecond, wNewWindow, win320, win150, wTicks, 2, wInit, 0, s64, s33,
               mode2, 0, wRelease, wInit, 0, s64, s33, mode2, 0, wBill, 10, 0, wSecond, wTicks,
               8, wRelease});
  ok &= Write(dir, "refused-arguments",
              {win20, win21, wInit, 1, s16, s8, mode1, 0, wInit, 2, s16, s8, mode1, 0, wInit, 3,
               s16, s8, mode1, 0, wInit, 0, 0, s8, mode1, 0, wInit, 0, s16, s8, 6, 0, wInit, 0,
               s16, s8, mode1, 1, wInit, 0, s16, s8, mode1, 2, wInit, 0, s16, s8, mode1, 3,
               wInit, 0, s70000, s8, mode1, 0, wInit, 0, s16, s8, mode1, 0, wRelease, wInit, 0,
               s513, s513, mode4, 0, wTicks, 1, wRelease});
  ok &= Write(dir, "refused-playbills",
              {win100, win100, wInit, 0, s64, s33, mode2, 0, wBill, 13, 0, wTicks, 1, wBill, 6,
               1, 0, 1, wBill, 6, 2, wBill, 6, 6, wRelease, wInit, 0, s64, s33, mode2, 0, wBill,
               11, 0, wRelease, wInit, 0, s64, s33, mode2, 0, wBill, 6, 0, wSecond, wBill, 6, 0,
               wTicks, 1, wEnd, wRelease});
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);
  const bool ok = PlaybillSeeds(root + "/playbill") && CallSeeds(root + "/calls") &&
                  ArenaSeeds(root + "/arena") && LayoutSeeds(root + "/layout") &&
                  EffectSeeds(root + "/effects") && WindowSeeds(root + "/window");
  if (!ok) std::fprintf(stderr, "could not write the seeds under %s\n", root.c_str());
  return ok ? 0 : 1;
}
