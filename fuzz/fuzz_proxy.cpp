// Arbitrary proxy replies through the data-arrival handler in arbitrary
// chunks, from the step the first byte chooses: the negotiation may refuse,
// wait or stand, but nothing may read or write outside its buffer, and no
// byte of a reply may reach RecvRing.
#include <algorithm>
#include <cstdint>
#include <span>

#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"

namespace {

slvn::Client& FreshClient() {
  static slvn::Client client;
  client.net = slvn::Net{};
  client.chat = slvn::ChatState{};
  client.data = slvn::Data{};
  client.shell.launch.GameServerHost = "127.0.0.1";
  return client;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  slvn::Client& client = FreshClient();
  client.net.ProxyReady = false;
  client.net.ProxyStep = static_cast<uint8_t>(data[0] % 8);
  std::span<const uint8_t> stream(data + 2, size - 2);
  // Each chunk's length comes from the input too, so splits fall anywhere.
  size_t chunk = data[1] % 16 + 1;
  try {
    while (!stream.empty()) {
      size_t n = std::min(chunk, stream.size());
      slvn::StoreArrivedBytes(client, stream.first(n));
      stream = stream.subspan(n);
      chunk = chunk % 7 + 1;
    }
  } catch (const slvn::ProgramEnded&) {
    // A full proxy buffer ends the program.
  }
  // The reply is never game data: RecvRing holds only bytes after a
  // connect reply that was accepted.
  if (!client.net.ProxyReady && client.net.RecvRing.Waiting() != 0) __builtin_trap();
  return 0;
}
