#include <benchmark/benchmark.h>

#include <vector>

#include "dispatch/deal_msg.h"
#include "platform/text.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"

namespace {

using slvn::GamePacket;

// A recorded mix of 64 packets whose arms do not draw: item-plug-in traffic
// and unknown commands (dropped, the plug-in being off), plug-in packets in
// chat form, and chat lines that go to the history and the message strip.
std::vector<uint8_t> MixedStream() {
  const int16_t forwarded[] = {44, 45, 46, 0, 12, 30, 47, 200};
  std::vector<uint8_t> stream;
  for (int i = 0; i < 64; ++i) {
    GamePacket packet = slvn::EncodeHeader({forwarded[i % 8], 0, 4, 0, {1, 2, 3, 4}});
    if (i % 8 == 3) {
      packet = slvn::EncodeHeader({slvn::Cmd_Chat, 0, 4, 0, {}});
      packet.SetU16BE(slvn::packet_offset::kPassLength + 2, i % 16 == 3 ? 272 : 0);
      std::string text = slvn::Utf8ToGb2312("小明：请点击【继续】按钮继续游戏！ok");
      for (size_t k = 0; k < text.size(); ++k)
        packet.SetByte(slvn::packet_offset::kChatText + k, static_cast<uint8_t>(text[k]));
    }
    packet.SetByte(slvn::packet_offset::kEchoToken, static_cast<uint8_t>(i));
    stream.insert(stream.end(), packet.bytes().begin(), packet.bytes().end());
  }
  return stream;
}

void BM_ReadAndDispatch(benchmark::State& state) {
  slvn::Client client;
  client.custom[0].SeatWind = 8;
  client.Detail[0].name = "小明";
  const std::vector<uint8_t> stream = MixedStream();
  const auto packets = static_cast<int64_t>(stream.size() / GamePacket::kSize);
  auto read_all = [&client, &stream] {
    slvn::StoreArrivedBytes(client, stream);
    while (client.net.RecvRing.Waiting() >= static_cast<int32_t>(GamePacket::kSize)) {
      slvn::ReadPacket(client);
      slvn::Deal_MSG(client);
    }
  };
  read_all();
  if (client.chat.Text1.empty()) {  // the chat lines never arrived
    state.SkipWithError("the stream's chat lines were not dispatched");
    return;
  }
  for (auto _ : state) {
    read_all();
    client.chat.Text1.clear();  // the history would otherwise grow for ever
  }
  state.SetItemsProcessed(state.iterations() * packets);
}
BENCHMARK(BM_ReadAndDispatch);

}  // namespace
