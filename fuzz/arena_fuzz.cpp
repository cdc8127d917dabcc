// Arena target: random ArenaAlloc / ArenaFree sequences on a private block.
// After every operation the live blocks must be 8-byte aligned, inside the
// block, apart from each other and unchanged; freeing everything must give
// the whole block back.
//
// Input: a block-size byte (and its figure), then operations.
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "common.h"
#include "memory/arena.h"
#include "memory/lock.h"

using namespace ledview;
using namespace ledview::fuzz;

namespace {

constexpr size_t kBlockBytes = kArenaBlockSize;
alignas(16) uint8_t block[kBlockBytes + 64];

struct Live {
  uint8_t* p;
  size_t n;
  uint8_t seed;
};

std::vector<Live> live;
std::map<uintptr_t, size_t> byaddress;  // start -> length
uint32_t usable = 0;
uint8_t nextseed = 1;

uint8_t Pattern(const Live& b, size_t i) { return static_cast<uint8_t>(b.seed + i * 7 + (i >> 8)); }

// The allocator writes only at chunk edges (sizes, feet, bin links), so the
// first and last bytes of a block show any overlap with its neighbours'
// bookkeeping; one byte per page covers the inside of large blocks.
constexpr size_t kEdge = 64;
constexpr size_t kStride = 4096;

template <typename Visit>
void ForSampled(const Live& b, Visit visit) {
  for (size_t i = 0; i < b.n; ++i) {
    if (i == kEdge && b.n > 2 * kEdge) {
      for (size_t k = kStride; k < b.n - kEdge; k += kStride) visit(k);
      i = b.n - kEdge;
    }
    visit(i);
  }
}

void Fill(const Live& b) {
  ForSampled(b, [&b](size_t i) { b.p[i] = Pattern(b, i); });
}

void Verify(const Live& b, bool edgesonly) {
  const size_t n = edgesonly ? std::min<size_t>(b.n, 8) : b.n;
  const Live head{b.p, n, b.seed};
  ForSampled(head, [&b](size_t i) {
    Expect(b.p[i] == Pattern(b, i), "allocated bytes kept", static_cast<long long>(i), b.seed);
  });
  if (edgesonly && b.n > 8) {
    for (size_t i = b.n - 8; i < b.n; ++i) {
      Expect(b.p[i] == Pattern(b, i), "allocated bytes kept", static_cast<long long>(i), b.seed);
    }
  }
}

void CheckPlace(uint8_t* p, size_t n) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(p);
  const uintptr_t base = reinterpret_cast<uintptr_t>(block);
  Expect(at % 8 == 0, "8-byte alignment", static_cast<long long>(at % 8), 0);
  Expect(at >= base + 8 && at + n <= base + usable, "block inside the arena",
         static_cast<long long>(at - base), usable);
  auto after = byaddress.lower_bound(at);
  if (after != byaddress.end()) {
    Expect(at + std::max<size_t>(n, 1) <= after->first, "blocks apart (next)",
           static_cast<long long>(at - base), static_cast<long long>(after->first - base));
  }
  if (after != byaddress.begin()) {
    auto before = std::prev(after);
    Expect(before->first + std::max<size_t>(before->second, 1) <= at, "blocks apart (previous)",
           static_cast<long long>(before->first - base), static_cast<long long>(at - base));
  }
}

void Alloc(size_t n) {
  uint8_t* p = static_cast<uint8_t*>(ArenaAlloc(n));
  if (n >= kArenaRequestLimit || n + 20 > usable || usable < 32) {
    Expect(p == nullptr, "impossible request refused", static_cast<long long>(n), 0);
  }
  if (p == nullptr) return;
  CheckPlace(p, n);
  Expect(ArenaChunkSize(p) >= n + 4, "chunk holds the request", ArenaChunkSize(p),
         static_cast<long long>(n + 4));
  Live b{p, n, nextseed++};
  Fill(b);
  byaddress[reinterpret_cast<uintptr_t>(p)] = n;
  live.push_back(b);
}

void Free(size_t index) {
  Live b = live[index];
  Verify(b, false);
  live.erase(live.begin() + static_cast<std::ptrdiff_t>(index));
  byaddress.erase(reinterpret_cast<uintptr_t>(b.p));
  ArenaFree(b.p);
}

void FreeAll(uint8_t order) {
  while (!live.empty()) {
    size_t index = 0;
    switch (order % 3) {
      case 0: index = 0; break;
      case 1: index = live.size() - 1; break;
      default: index = live.size() / 2; break;
    }
    Free(index);
  }
  if (usable < 32) return;
  Expect(ArenaAlloc(usable - 19) == nullptr, "top keeps 16 bytes");
  void* whole = ArenaAlloc(usable - 20);
  Expect(whole == block + 8, "everything freed gives the whole block back",
         whole ? static_cast<uint8_t*>(whole) - block : -1, 8);
  ArenaFree(whole);
}

size_t EdgeSize(Reader& in) {
  const size_t edges[] = {0, 1, 4, 5, 12, 13, 64, 68, 69, 72, 73, 84, 88, 500, 504, 505, 508, 512,
                          1024, 65528, 65536, usable - 21, usable - 20, usable - 19, usable - 8,
                          usable, kArenaBlockSize, kArenaRequestLimit - 1, kArenaRequestLimit,
                          SIZE_MAX};
  return edges[in.U8() % (sizeof edges / sizeof edges[0])];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  size_t blocksize = kBlockBytes;
  switch (in.U8() % 8) {
    case 0: blocksize = in.U32() % (kBlockBytes + 1); break;
    case 1: blocksize = in.U16(); break;
    case 2: blocksize = in.U8(); break;
    default: break;
  }
  live.clear();
  byaddress.clear();
  nextseed = 1;
  const int ok = ArenaInit(block, blocksize);
  usable = static_cast<uint32_t>(blocksize) & ~7u;
  Expect(ok == (usable >= 16 ? 1 : 0), "ArenaInit result", ok, usable >= 16);
  if (!ok) usable = 0;

  for (int ops = 0; !in.Empty() && ops < 4000; ++ops) {
    const uint8_t op = in.U8();
    switch (op % 10) {
      case 0: case 1: Alloc(in.U8()); break;
      case 2: Alloc(in.U16()); break;
      case 3: Alloc(in.U32() % (kBlockBytes + 65536)); break;
      case 4: Alloc(EdgeSize(in)); break;
      case 5: {  // just under what top still gives
        const uint32_t top = ArenaTopSize();
        const uint32_t back = in.U8();
        Alloc(top > back + 20 ? top - back - 20 : in.U8());
        break;
      }
      case 6: case 7:
        if (!live.empty()) Free(in.U16() % live.size());
        break;
      case 8: {  // pointers the arena must ignore
        const uint32_t top = usable ? ArenaTopSize() : 0;
        uint8_t outside = 0;
        ArenaFree(nullptr);
        ArenaFree(&outside);
        ArenaFree(block + usable + 8);
        if (usable) Expect(ArenaTopSize() == top, "foreign pointers ignored", ArenaTopSize(), top);
        break;
      }
      default:
        FreeAll(in.U8());
        break;
    }
    for (const Live& b : live) Verify(b, true);
  }
  FreeAll(0);
  std::memset(&main_arena, 0, sizeof main_arena);
  LockReleaseAll();
  return 0;
}
