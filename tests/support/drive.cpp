#include "support/drive.h"

#include <algorithm>

#include "shell/client.h"

namespace slvn::test {

bool Drive(Client& client, const std::function<bool()>& done, double real_timeout) {
  SteadyClock real;
  const double real_start = real.Now();
  const double virtual_start = client.loop.Now();
  const double give_up = real_start + real_timeout;
  while (!done()) {
    if (real.Now() > give_up) return false;
    client.loop.WaitUntil(done, 0.002);
    if (done()) break;
    // The server's script runs on real time: the client's clock keeps pace
    // with it and never runs ahead, however quickly the client's steps run.
    // Otherwise a faster build sees the server's pauses as longer ones and
    // lets countdowns run out that the script meant to be answered.
    const double behind = virtual_start + (real.Now() - real_start) - client.loop.Now();
    if (behind > 0) client.loop.RunFor(std::min(behind, 0.05));
  }
  return true;
}

}  // namespace slvn::test
