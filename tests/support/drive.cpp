#include "support/drive.h"

#include <algorithm>

#include "shell/client.h"

namespace slvn::test {

bool Drive(Client& client, const std::function<bool()>& done, double real_timeout) {
  SteadyClock real;
  const double give_up = real.Now() + real_timeout;
  while (!done()) {
    if (real.Now() > give_up) return false;
    client.loop.WaitUntil(done, 0.002);
    if (done()) break;
    client.loop.RunFor(0.05);
  }
  return true;
}

bool Called(const Client& client, const char* name) {
  const auto& calls = client.not_yet_built;
  return std::find(calls.begin(), calls.end(), name) != calls.end();
}

}  // namespace slvn::test
