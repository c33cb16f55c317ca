// Arbitrary bytes as what four connections send the video relay, cut into
// pieces that go to one connection each, with the relay's sends taken off a
// few bytes at a time and time moving on: every connection's unsent bytes
// stay under the limit and what is pending is always a whole-or-part message.
//
// Each step is a control byte c and, for a feed, a length byte then the bytes:
// c % 4 picks the connection; c / 4 % 4: 0-1 feed, 2 send some bytes of it,
// 3 let a second pass and sweep the closed ones (they come back as new ones).
#include <cstdint>
#include <span>

#include "video/relay_hub.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slvn::RelayHub::Limits limits;
  limits.frame_backlog = 4096;
  limits.max_unsent = 8192;
  limits.idle_seconds = 3;
  slvn::RelayHub hub(limits, {});
  double now = 0;
  for (int id = 0; id < 4; ++id) hub.Open(id, now);
  size_t at = 0;
  while (at < size) {
    const uint8_t c = data[at++];
    const int id = c % 4;
    switch (c / 4 % 4) {
      case 0:
      case 1: {
        const size_t n = at < size ? std::min<size_t>(data[at++], size - at) : 0;
        hub.Received(id, {data + at, n}, now);
        at += n;
        break;
      }
      case 2:
        hub.Sent(id, std::min<size_t>(hub.Pending(id).size(), 1u + c / 16));
        break;
      default:
        now += 1;
        hub.Expire(now);
        for (int gone : hub.Sweep()) hub.Open(gone, now);
        break;
    }
    for (int i = 0; i < 4; ++i) {
      if (hub.Unsent(i) > limits.max_unsent) __builtin_trap();
      if (hub.Pending(i).size() > hub.Unsent(i)) __builtin_trap();
      if (hub.Unsent(i) > 0 && hub.Pending(i).empty()) __builtin_trap();
    }
  }
  if (hub.Count() != 4) __builtin_trap();
  return 0;
}
