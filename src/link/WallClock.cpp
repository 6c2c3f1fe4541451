// Wall-clock origin plus steady time since.
#include "link/WallClock.h"

#include <chrono>

namespace {

struct COrigin {
  std::int64_t wallUs;
  std::chrono::steady_clock::time_point steady;
};

const COrigin& Origin() {
  static const COrigin origin{
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count(),
      std::chrono::steady_clock::now()};
  return origin;
}

}  // namespace

std::int64_t WallClockNowUs() {
  const COrigin& origin = Origin();
  return origin.wallUs +
         std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - origin.steady).count();
}
