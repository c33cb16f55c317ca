#include "platform/clock.h"

#include <chrono>

namespace slvn {

double SteadyClock::Now() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace slvn
