#pragma once

#include <functional>

namespace slvn {
struct Client;
}

namespace slvn::test {

// Runs a manual-clock client against real sockets until `done` holds: virtual
// time moves in steps of at most a heartbeat, never ahead of the real time
// since the call, and between steps the real sockets get a short real wait so
// a server process can answer. False when `done` did not hold within
// `real_timeout` seconds of real time.
bool Drive(Client& client, const std::function<bool()>& done, double real_timeout = 30.0);

}  // namespace slvn::test
