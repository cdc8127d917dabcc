// Checkerboards: the image is cut into 32 x 32 cells; half of them (those
// with column + row odd) appear at once, and the other half wipe in together,
// one column (row) per step.
#include <algorithm>

#include "effects/reveal.h"

namespace ledview {

namespace {

constexpr int32_t kCell = 32;

// Work buffer: the head, then one position per pending cell.
struct CheckerHead {
  uint32_t count;
  int32_t length;  // the cells' extent across the wipe: height (right), width (down)
};
struct CheckerCell {
  uint16_t x;
  uint16_t y;
};

CheckerCell* Cells(CheckerHead* head) { return reinterpret_cast<CheckerCell*>(head + 1); }

// The variant: the pending cells wipe along columns (right) or rows (down).
int32_t CheckerSetUp(ElementNode* e, const RevealArea& a, int32_t lines) {
  const bool right = lines == kColumns;
  e->stepDelay = FirstDelay[a.speed];
  const int32_t cw = std::min(a.vw, kCell);
  const int32_t ch = std::min(a.vh, kCell);
  const int32_t end = right ? cw : ch;
  if (end == 0) return ShowAndFinish(a);
  const int64_t columns = (a.vw + kCell - 1) / kCell;
  const int64_t rows = (a.vh + kCell - 1) / kCell;
  // Half the cells rounded down, plus the room of one more cell in the
  // 12-byte size, holds the pending half rounded up.
  const auto size = static_cast<size_t>(((columns * rows) >> 1) * 4 + 12);
  auto* head = static_cast<CheckerHead*>(TakeWorkBuffer(e, size));
  if (head == nullptr) return ShowWithoutBuffer(a);
  CheckerCell* cells = Cells(head);
  uint32_t count = 0;
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t column = 0; column < columns; ++column) {
      const int32_t x = column * kCell;
      const int32_t y = row * kCell;
      if (((column + row) & 1) != 0) {
        DrawPart(a, x, y, std::min(kCell, a.vw - x), std::min(kCell, a.vh - y));
      } else {
        // A cell cut by the image edge moves back so that a whole cell
        // ends at the edge.
        cells[count++] = CheckerCell{static_cast<uint16_t>(std::min(x, a.vw - cw)),
                                     static_cast<uint16_t>(std::min(y, a.vh - ch))};
      }
    }
  }
  head->count = count;
  head->length = right ? ch : cw;
  e->extent = end;
  return e->stepDelay;
}

int32_t CheckerStep(ElementNode* e, const RevealArea& a, void* buffer, int32_t lines) {
  auto* head = static_cast<CheckerHead*>(buffer);
  const int32_t step = e->step;
  if (step >= e->extent) return -1;
  const CheckerCell* cells = Cells(head);
  const int32_t length = head->length;
  for (uint32_t i = 0; i < head->count; ++i) {
    if (lines == kColumns) {
      DrawPart(a, cells[i].x + step, cells[i].y, 1, length);
    } else {
      DrawPart(a, cells[i].x, cells[i].y + step, length, 1);
    }
  }
  e->step = step + 1;
  return e->stepDelay;
}

}  // namespace

int32_t CheckerWipeRight(ElementNode* e, DestRect* r) {
  return DriveBufferReveal(e, r, CheckerSetUp, CheckerStep, kColumns);
}
int32_t CheckerWipeDown(ElementNode* e, DestRect* r) {
  return DriveBufferReveal(e, r, CheckerSetUp, CheckerStep, kRows);
}

}  // namespace ledview
