#include "runtime/throw.h"

namespace rt {

void Throw(std::uint32_t value) {
  system[kThrownValueWord] = value;
  throw Thrown{value};
}

void halt() { Throw(kQuitMarker); }

}  // namespace rt
