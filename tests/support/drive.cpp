#include "support/drive.h"

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

}  // namespace slvn::test
