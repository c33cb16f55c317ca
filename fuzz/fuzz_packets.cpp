// Arbitrary socket bytes through the data-arrival handler, ReadPacket and
// Deal_MSG, in arbitrary chunks and with the seat, plug-in and proxy states
// the first byte chooses: nothing may read or write outside its buffer.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>

#include "dispatch/deal_msg.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"

namespace {

// One client for the whole run; everything the packet paths touch starts
// afresh for each input.
slvn::Client& FreshClient() {
  // The manual clock: the hand's pauses and animations take no real time.
  static slvn::Client client{std::make_unique<slvn::ManualClock>()};
  client.net = slvn::Net{};
  client.chat = slvn::ChatState{};
  client.data = slvn::Data{};
  client.custom = {};
  client.Detail = {};
  client.prop = slvn::PropState{};
  client.heartbeat = slvn::HeartbeatState{};
  return client;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  slvn::Client& client = FreshClient();
  uint8_t setup = data[0];
  client.prop.Prop_GameDllState = static_cast<int16_t>((setup & 3) - 1);
  client.custom[0].SeatWind = static_cast<uint8_t>((setup >> 2) & 15);
  client.net.ProxyReady = !(setup & 0x40);
  client.Detail[0].name = (setup & 0x80) ? "小明" : "a";
  size_t chunk = data[1] % 200 + 1;
  std::span<const uint8_t> stream(data + 2, size - 2);
  try {
    while (!stream.empty()) {
      size_t n = std::min(chunk, stream.size());
      slvn::StoreArrivedBytes(client, stream.first(n));
      stream = stream.subspan(n);
      while (client.net.RecvRing.Waiting() >= 272) {
        slvn::ReadPacket(client);
        slvn::Deal_MSG(client);
      }
    }
  } catch (const slvn::ProgramEnded&) {
    // A refused login, a full ring: the program would end here.
  }
  return 0;
}
