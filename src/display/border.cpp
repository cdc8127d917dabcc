#include "display/border.h"

namespace ledview {

const BorderEntry* bordertable = nullptr;

}  // namespace ledview
