// Arbitrary bytes as what connections from two addresses send the video
// relay, cut into pieces that go to one connection each, with the relay's
// sends taken off a few bytes at a time and time moving on: every
// connection's queue costs at least its bytes and never more than the limit,
// what is pending is always a whole-or-part message, no address holds more
// than its share, and after the deadlines are checked none is overdue. The
// record: no line holds a control byte or passes the longest line, and the
// lines stay within the relay's lines a second and the counts' room of each
// summary, the stop's included.
//
// Each step is a control byte c and, for a feed, a length byte then the bytes:
// c % 4 picks the connection (0 and 1 come from one address, 2 and 3 from
// another); c / 4 % 4: 0 feed, 1 the same read into its buffer, 2 send some bytes of it (and the
// kernel holds c / 16 * 256 bytes for it), 3 let c / 16 quarter seconds pass, check the deadlines,
// sweep the closed ones and open the missing ones again (some are turned away).
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "video/relay_hub.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slvn::RelayHub::Limits limits;
  limits.frame_backlog = 4096;
  limits.max_unsent = 8192;
  limits.idle_seconds = 3;
  limits.login_seconds = 2;
  limits.max_connections = 3;
  limits.max_per_address = 2;
  limits.summary_seconds = 5;
  limits.lines_per_summary = 4;
  limits.record_lines_per_second = 2;
  limits.record_burst = 8;
  size_t lines = 0;
  const auto check = [&](const slvn::RelayHub& hub, double now, int summaries) {
    if (static_cast<double>(lines) > limits.record_burst + limits.record_lines_per_second * now +
                                         summaries * static_cast<double>(hub.CountLines()))
      __builtin_trap();
  };
  auto record = [&lines](const std::string& line) {
    if (line.size() > slvn::RelayHub::kLongestLine) __builtin_trap();
    for (const char ch : line)
      if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) __builtin_trap();
    if (line.rfind("record: ", 0) != 0) ++lines;
  };
  size_t in_kernel[4] = {};
  slvn::RelayHub hub(limits, record, [&in_kernel](int id) { return in_kernel[id]; });
  auto address = [](int id) { return std::string(id < 2 ? "192.0.2.1" : "2001:db8::/64"); };
  double now = 0;
  bool open[4] = {};
  for (int id = 0; id < 4; ++id) open[id] = hub.Open(id, address(id), now);
  if (open[3] || !open[2]) __builtin_trap();  // the fourth finds the relay full
  size_t at = 0;
  while (at < size) {
    const uint8_t c = data[at++];
    const int id = c % 4;
    switch (c / 4 % 4) {
      case 0: {
        const size_t n = at < size ? std::min<size_t>(data[at++], size - at) : 0;
        hub.Received(id, {data + at, n}, now);
        at += n;
        break;
      }
      case 1: {  // read straight into the connection's buffer
        const std::span<uint8_t> space = hub.ReadSpace(id);
        if (!space.empty() && space.size() < slvn::RelayHub::kReadRoom) __builtin_trap();
        const size_t n = at < size ? std::min({size_t{data[at++]}, size - at, space.size()}) : 0;
        std::copy(data + at, data + at + n, space.begin());
        hub.Filled(id, n, now);
        at += n;
        break;
      }
      case 2:
        hub.Sent(id, std::min<size_t>(hub.Pending(id).size(), 1u + c / 16));
        in_kernel[id] = c / 16 * 256u;
        break;
      default:
        now += 0.25 * (c / 16);
        hub.Expire(now);
        if (!(hub.NextExpiry() > now)) __builtin_trap();
        for (int gone : hub.Sweep()) open[gone] = false;
        for (int i = 0; i < 4; ++i)
          if (!open[i]) open[i] = hub.Open(i, address(i), now);
        break;
    }
    size_t count = 0;
    for (int i = 0; i < 4; ++i) {
      if (hub.Queued(i) > limits.max_unsent) __builtin_trap();
      if (hub.Queued(i) < hub.Unsent(i) || (hub.Unsent(i) == 0) != (hub.Queued(i) == 0))
        __builtin_trap();
      if (hub.Pending(i).size() > hub.Unsent(i)) __builtin_trap();
      if (hub.Unsent(i) > 0 && hub.Pending(i).empty()) __builtin_trap();
      count += open[i];
    }
    if (hub.Count() != count || count > limits.max_connections) __builtin_trap();
    // A summary at most every summary_seconds, the first once they passed.
    check(hub, now, static_cast<int>(now / limits.summary_seconds));
    for (int i : {0, 2})
      if (static_cast<size_t>(hub.FromAddress(address(i))) > limits.max_per_address)
        __builtin_trap();
    if (static_cast<size_t>(hub.FromAddress(address(0)) + hub.FromAddress(address(2))) != count)
      __builtin_trap();
  }
  hub.Summarize(now);
  check(hub, now, static_cast<int>(now / limits.summary_seconds) + 1);
  return 0;
}
