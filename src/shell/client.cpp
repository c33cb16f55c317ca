#include "shell/client.h"

namespace slvn {

namespace {
std::unique_ptr<Clock> OrSteady(std::unique_ptr<Clock> clock) {
  if (clock) return clock;
  return std::make_unique<SteadyClock>();
}
}  // namespace

Client::Client(std::unique_ptr<Clock> clock_in)
    : clock(OrSteady(std::move(clock_in))), loop(*clock) {}

}  // namespace slvn
