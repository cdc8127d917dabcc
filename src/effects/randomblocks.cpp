// RandomBlocks: the image is cut into 8 x 8 cells that appear in random
// order, eight per step; the last step shows the whole image, which also
// covers the cell never drawn and the remainder beyond the last whole cell.
#include <cstring>

#include "effects/reveal.h"
#include "platform/platform.h"
#include "effects/random.h"

namespace ledview {

namespace {

constexpr uint32_t kGrid = 8;
constexpr int32_t kCells = 64;
constexpr int32_t kCellsPerStep = 8;
// Misses in a row after which the free cell is looked up instead of drawn;
// it keeps the pick finite should the generator ever avoid a cell.
constexpr int32_t kMaxMisses = 4096;

struct RandomBlockState {
  uint32_t cw;
  uint32_t ch;
  uint32_t shown[kGrid][kGrid];  // [column][row], 1 = drawn
};
static_assert(sizeof(RandomBlockState) == 264);

void PickCell(const RandomBlockState& st, uint32_t* column, uint32_t* row) {
  for (int32_t misses = 0; misses < kMaxMisses; ++misses) {
    *column = RandomNext() & (kGrid - 1);
    *row = RandomNext() & (kGrid - 1);
    if (st.shown[*column][*row] == 0) return;
  }
  for (uint32_t c = 0; c < kGrid; ++c) {
    for (uint32_t w = 0; w < kGrid; ++w) {
      if (st.shown[c][w] == 0) {
        *column = c;
        *row = w;
        return;
      }
    }
  }
}

int32_t RandomBlocksStep(ElementNode* e, const RevealArea& a, void* buffer, int32_t) {
  auto* st = static_cast<RandomBlockState*>(buffer);
  int32_t step = e->step;
  if (step >= kCells || step < 0) return ShowAndFinish(a);
  do {
    uint32_t column = 0, row = 0;
    PickCell(*st, &column, &row);
    if (step > 0) {
      // The first pick only clears the rectangle and stays free.
      st->shown[column][row] = 1;
      const auto cw = static_cast<int32_t>(st->cw), ch = static_cast<int32_t>(st->ch);
      DrawPart(a, static_cast<int32_t>(column) * cw, static_cast<int32_t>(row) * ch, cw, ch);
    } else {
      ClearWhole(a);
    }
    ++step;
  } while (step % kCellsPerStep != 0);
  e->step = step;
  return e->stepDelay;
}

// The first step comes with the set-up.
int32_t RandomBlocksSetUp(ElementNode* e, const RevealArea& a, int32_t) {
  auto* st = static_cast<RandomBlockState*>(TakeWorkBuffer(e, sizeof(RandomBlockState)));
  if (st == nullptr) return ShowWithoutBuffer(a);
  st->cw = static_cast<uint32_t>(a.vw) >> 3;
  st->ch = static_cast<uint32_t>(a.vh) >> 3;
  std::memset(st->shown, 0, sizeof st->shown);
  RandomSeed(static_cast<uint32_t>(ClockNow()));
  e->step = 0;
  e->extent = kCells;
  e->stepDelay = BandDelay[a.speed];
  return RandomBlocksStep(e, a, st, 0);
}

}  // namespace

int32_t RandomBlocks(ElementNode* e, DestRect* r) {
  return DriveBufferReveal(e, r, RandomBlocksSetUp, RandomBlocksStep);
}

}  // namespace ledview
