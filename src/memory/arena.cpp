#include "memory/arena.h"

#include <cstring>

namespace ledview {

Arena main_arena;

namespace {

constexpr uint32_t kPrevInUse = 1;
constexpr uint32_t kMinChunk = 16;
constexpr uint32_t kMaxFast = 72;
constexpr uint32_t kSmallLimit = 512;
constexpr uint32_t kConsolidateThreshold = 65536;
constexpr uint32_t kUnsorted = 1;
// References name either a chunk (its offset in the block) or a bin head.
constexpr uint32_t kBinRef = 0x80000000u;

Arena& A = main_arena;

uint32_t Load(uint32_t offset) {
  uint32_t v;
  std::memcpy(&v, A.base + offset, sizeof v);
  return v;
}
void Store(uint32_t offset, uint32_t v) { std::memcpy(A.base + offset, &v, sizeof v); }

constexpr uint32_t BinRef(uint32_t index) { return kBinRef | index; }

uint32_t Fd(uint32_t ref) { return ref & kBinRef ? A.bins[ref & 127].fd : Load(ref + 8); }
uint32_t Bk(uint32_t ref) { return ref & kBinRef ? A.bins[ref & 127].bk : Load(ref + 12); }
void SetFd(uint32_t ref, uint32_t v) {
  if (ref & kBinRef) A.bins[ref & 127].fd = v; else Store(ref + 8, v);
}
void SetBk(uint32_t ref, uint32_t v) {
  if (ref & kBinRef) A.bins[ref & 127].bk = v; else Store(ref + 12, v);
}

uint32_t Head(uint32_t c) { return Load(c + 4); }
void SetHead(uint32_t c, uint32_t v) { Store(c + 4, v); }
uint32_t ChunkSize(uint32_t c) { return Head(c) & ~7u; }
bool PrevInUse(uint32_t c) { return Head(c) & kPrevInUse; }
uint32_t PrevSize(uint32_t c) { return Load(c); }
void SetFoot(uint32_t c, uint32_t s) { Store(c + s, s); }
bool InUseAt(uint32_t c, uint32_t s) { return Head(c + s) & kPrevInUse; }
void SetInUseAt(uint32_t c, uint32_t s) { SetHead(c + s, Head(c + s) | kPrevInUse); }

bool HaveFastChunks() { return (A.max_fast & 1) == 0; }
uint32_t FastIndex(uint32_t s) { return (s >> 3) - 2; }

void Unlink(uint32_t c) {
  const uint32_t fd = Fd(c);
  const uint32_t bk = Bk(c);
  SetBk(fd, bk);
  SetFd(bk, fd);
}

void MarkBin(uint32_t index) { A.binmap[index >> 5] |= 1u << (index & 31); }

void PushUnsortedFront(uint32_t c) {
  const uint32_t head = BinRef(kUnsorted);
  const uint32_t first = Fd(head);
  SetFd(head, c);
  SetBk(first, c);
  SetBk(c, head);
  SetFd(c, first);
}

// The remainder of a split becomes the only member of the unsorted bin.
void MakeSoleUnsorted(uint32_t c) {
  const uint32_t head = BinRef(kUnsorted);
  A.bins[kUnsorted].fd = c;
  A.bins[kUnsorted].bk = c;
  SetFd(c, head);
  SetBk(c, head);
}

void* Mem(uint32_t c) { return A.base + c + 8; }

bool BinEmpty(uint32_t index) { return A.bins[index].bk == BinRef(index); }

// Takes the last member off a non-empty bin.
uint32_t PopLast(uint32_t index) {
  const uint32_t bin = BinRef(index);
  const uint32_t victim = Bk(bin);
  const uint32_t bck = Bk(victim);
  A.bins[index].bk = bck;
  SetFd(bck, bin);
  return victim;
}

// Joins free chunk c with whichever neighbours are free. The joined chunk
// goes to the front of the unsorted bin, or becomes the top when it borders
// it. Returns the joined size.
uint32_t Coalesce(uint32_t c, uint32_t size) {
  const uint32_t next = c + size;
  const uint32_t nextsize = ChunkSize(next);
  if (!PrevInUse(c)) {
    const uint32_t prevsize = PrevSize(c);
    size += prevsize;
    c -= prevsize;
    Unlink(c);
  }
  if (next == A.top) {
    size += nextsize;
    SetHead(c, size | kPrevInUse);
    A.top = c;
    return size;
  }
  const bool nextinuse = InUseAt(next, nextsize);
  SetHead(next, nextsize);
  if (!nextinuse) {
    Unlink(next);
    size += nextsize;
  }
  PushUnsortedFront(c);
  SetHead(c, size | kPrevInUse);
  SetFoot(c, size);
  return size;
}

// Empties every fast bin, joining each chunk with its free neighbours.
void Consolidate() {
  A.max_fast |= 1;
  for (uint32_t i = 0; i <= FastIndex(kMaxFast); ++i) {
    uint32_t p = A.fastbins[i];
    A.fastbins[i] = kArenaNil;
    while (p != kArenaNil) {
      const uint32_t nextp = Fd(p);
      Coalesce(p, ChunkSize(p));
      p = nextp;
    }
  }
}

void FileChunk(uint32_t c, uint32_t size) {
  uint32_t index;
  uint32_t bck;
  uint32_t fwd;
  if (size < kSmallLimit) {
    index = size >> 3;
    bck = BinRef(index);
    fwd = Fd(bck);
  } else {
    index = ArenaLargeBinIndex(size);
    bck = BinRef(index);
    fwd = Fd(bck);
    if (fwd != bck) {
      if (size <= ChunkSize(Bk(bck))) {
        // Not larger than the smallest: it goes at the end.
        fwd = bck;
        bck = Bk(bck);
      } else {
        while (ChunkSize(fwd) > size) fwd = Fd(fwd);
        bck = Bk(fwd);
      }
    }
  }
  MarkBin(index);
  SetBk(c, bck);
  SetFd(c, fwd);
  SetBk(fwd, c);
  SetFd(bck, c);
}

// Cuts chunk c of the given size into an in-use front of nb bytes and the
// rest; returns where the rest starts.
uint32_t Split(uint32_t c, uint32_t size, uint32_t nb) {
  const uint32_t rest = c + nb;
  SetHead(c, nb | kPrevInUse);
  SetHead(rest, (size - nb) | kPrevInUse);
  return rest;
}

// Hands out chunk c whole: the chunk after it learns it is in use.
void* TakeWhole(uint32_t c, uint32_t size) {
  SetInUseAt(c, size);
  return Mem(c);
}

// Hands out victim (already out of its bin), whole or split with the
// remainder placed alone in the unsorted bin.
void* TakeChunk(uint32_t victim, uint32_t nb, bool recordremainder) {
  const uint32_t size = ChunkSize(victim);
  if (size - nb < kMinChunk) return TakeWhole(victim, size);
  const uint32_t remainder = Split(victim, size, nb);
  MakeSoleUnsorted(remainder);
  SetFoot(remainder, size - nb);
  if (recordremainder) A.last_remainder = remainder;
  return Mem(victim);
}

// A chunk from the fast bin of size nb; null when that bin is empty.
void* TakeFast(uint32_t nb) {
  uint32_t& slot = A.fastbins[FastIndex(nb)];
  if (slot == kArenaNil) return nullptr;
  const uint32_t victim = slot;
  slot = Fd(victim);
  return Mem(victim);
}

// Files the unsorted chunks, oldest first, into the small and large bins
// until one serves nb: a chunk of exactly that size or, for a small request,
// the last remainder split again when it is the only unsorted chunk. Null
// when the unsorted bin ends up empty.
void* SortUnsorted(uint32_t nb, bool small) {
  while (!BinEmpty(kUnsorted)) {
    const uint32_t victim = PopLast(kUnsorted);
    const uint32_t size = ChunkSize(victim);
    if (small && BinEmpty(kUnsorted) && victim == A.last_remainder && size > nb + kMinChunk) {
      return TakeChunk(victim, nb, true);
    }
    if (size == nb) return TakeWhole(victim, size);
    FileChunk(victim, size);
  }
  return nullptr;
}

// The smallest chunk of at least nb in large bin index, split as needed;
// null when the bin holds none that large.
void* TakeBestFit(uint32_t index, uint32_t nb) {
  const uint32_t bin = BinRef(index);
  const uint32_t largest = Fd(bin);
  if (largest == bin || ChunkSize(largest) < nb) return nullptr;
  uint32_t victim = Bk(bin);
  while (ChunkSize(victim) < nb) victim = Bk(victim);
  Unlink(victim);
  return TakeChunk(victim, nb, false);
}

// The smallest chunk of the first non-empty bin after index (from the last
// bin, that bin itself), found through the bin map; bins found empty on the
// way lose their bit. kArenaNil when there is none.
uint32_t SmallestInNextBin(uint32_t index) {
  uint32_t scan = index + 1;
  if (scan > 127) scan = 127;
  uint32_t block = scan >> 5;
  uint32_t map = A.binmap[block];
  uint32_t bit = 1u << (scan & 31);
  for (;;) {
    if (bit > map || bit == 0) {
      do {
        if (++block >= 4) return kArenaNil;
      } while ((map = A.binmap[block]) == 0);
      scan = block << 5;
      bit = 1;
    }
    while ((bit & map) == 0) {
      ++scan;
      bit <<= 1;
    }
    const uint32_t bin = BinRef(scan);
    const uint32_t victim = Bk(bin);
    if (victim != bin) return victim;
    map &= ~bit;
    A.binmap[block] = map;
    ++scan;
    bit <<= 1;
  }
}

// The front nb bytes of the top chunk, if a minimum chunk stays behind;
// null otherwise.
void* TakeFromTop(uint32_t nb) {
  const uint32_t top = A.top;
  const uint32_t size = ChunkSize(top);
  if (size < nb + kMinChunk) return nullptr;
  A.top = Split(top, size, nb);
  return Mem(top);
}

void* Allocate(size_t n) {
  const uint32_t nb = ArenaRequestSize(n);
  const bool small = nb < kSmallLimit;
  const uint32_t index = small ? nb >> 3 : ArenaLargeBinIndex(nb);

  if (nb <= A.max_fast) {
    if (void* p = TakeFast(nb)) return p;
  }
  if (small) {
    if (!BinEmpty(index)) return TakeWhole(PopLast(index), nb);
  } else if (HaveFastChunks()) {
    Consolidate();
  }

  for (;;) {
    if (void* p = SortUnsorted(nb, small)) return p;
    if (!small) {
      if (void* p = TakeBestFit(index, nb)) return p;
    }
    const uint32_t victim = SmallestInNextBin(index);
    if (victim != kArenaNil && ChunkSize(victim) >= nb) {
      Unlink(victim);
      return TakeChunk(victim, nb, small);
    }
    if (void* p = TakeFromTop(nb)) return p;
    // Out of room: gather the fast bins once more, or give up.
    if (!HaveFastChunks()) return nullptr;
    Consolidate();
  }
}

void Release(void* p) {
  const uintptr_t addr = reinterpret_cast<uintptr_t>(p);
  const uintptr_t base = reinterpret_cast<uintptr_t>(A.base);
  if (A.base == nullptr || addr < base + 8 || addr - base - 8 >= A.size) return;
  const uint32_t c = static_cast<uint32_t>(addr - base - 8);
  // Only whole, aligned chunks inside the block are ever ours.
  if ((c & 7) != 0 || c + kMinChunk > A.size) return;
  const uint32_t size = ChunkSize(c);
  if (size < kMinChunk || size > A.size || size > A.size - c || c == A.top) return;

  if (size <= A.max_fast && c + size != A.top) {
    uint32_t& slot = A.fastbins[FastIndex(size)];
    SetFd(c, slot);
    slot = c;
    A.max_fast &= ~1u;
    return;
  }
  if (Coalesce(c, size) >= kConsolidateThreshold && HaveFastChunks()) Consolidate();
}

}  // namespace

uint32_t ArenaRequestSize(size_t n) {
  if (n + 11 < kMinChunk) return kMinChunk;
  return static_cast<uint32_t>((n + 11) & ~size_t{7});
}

uint32_t ArenaLargeBinIndex(uint32_t size) {
  const uint32_t x = size >> 8;
  if (x >= 65536) return 127;
  uint32_t m = 0;
  while ((x >> (m + 1)) != 0) ++m;
  return 64 + 4 * m + ((size >> (m + 6)) & 3);
}

int ArenaInit(void* block, size_t size) {
  if (block == nullptr || size == 0) return 0;
  // Offsets must stay clear of the bin-reference tag.
  if (size > 0x7FFFFFF8u) size = 0x7FFFFFF8u;
  const uint32_t usable = static_cast<uint32_t>(size) & ~7u;
  if (usable < kMinChunk) return 0;
  std::memset(&A, 0, sizeof A);
  A.lock = LockCreate(kLockKindArena);
  for (uint32_t i = 1; i < 128; ++i) {
    A.bins[i].fd = BinRef(i);
    A.bins[i].bk = BinRef(i);
  }
  for (uint32_t& slot : A.fastbins) slot = kArenaNil;
  A.max_fast = kMaxFast | 1;
  A.last_remainder = kArenaNil;
  A.base = static_cast<uint8_t*>(block);
  A.size = usable;
  A.top = 0;
  std::memset(A.base, 0, 16);
  SetHead(0, usable | kPrevInUse);
  return 1;
}

void* ArenaAlloc(size_t n) {
  if (n >= kArenaRequestLimit || A.base == nullptr) return nullptr;
  uint32_t status;
  LockWait(A.lock, 0, &status);
  void* p = Allocate(n);
  LockRelease(A.lock);
  return p;
}

void ArenaFree(void* p) {
  if (p == nullptr || A.base == nullptr) return;
  uint32_t status;
  LockWait(A.lock, 0, &status);
  Release(p);
  LockRelease(A.lock);
}

uint32_t ArenaChunkSize(const void* p) {
  const uintptr_t addr = reinterpret_cast<uintptr_t>(p);
  const uintptr_t base = reinterpret_cast<uintptr_t>(A.base);
  if (A.base == nullptr || addr < base + 8 || addr - base - 8 >= A.size) return 0;
  return ChunkSize(static_cast<uint32_t>(addr - base - 8));
}

uint32_t ArenaTopSize() { return A.base == nullptr ? 0 : ChunkSize(A.top); }

}  // namespace ledview
