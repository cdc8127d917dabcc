#include "content/playservices.h"

namespace ledview {

PlayServices playservices;

}  // namespace ledview
