// Arbitrary user-details and user-left messages (commands 20 and 21) on a
// laid-out table, each also decoded on its own: every text, number, code
// and seat the bytes reach must stay in range, and a code that names a file
// must stay a plain name.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "dispatch/deal_msg.h"
#include "dispatch/user_detail.h"
#include "laid_out_client.h"
#include "shell/client.h"
#include "shell/net/game_packet.h"
#include "shell/program_end.h"
#include "ui/amount_text.h"
#include "ui/main_form.h"

namespace {

bool PlainCode(const std::string& code) {
  return std::all_of(code.begin(), code.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

void DecodeAlone(const slvn::GamePacket& packet) {
  slvn::UserDetail detail;
  slvn::ParseUserDetail(detail, packet);
  const int portrait = slvn::PortraitIndex(detail.picture);
  if (portrait < 0 || portrait > 19 || !PlainCode(detail.dialect) || !PlainCode(detail.voice) ||
      detail.logins < 0 || slvn::UserDetailWealth(packet) < 0 ||
      slvn::FormatAmount(detail.ucoin).find_first_not_of("0123456789") != std::string::npos)
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  slvn::Client& client = LaidOutClient();
  const uint8_t setup = data[0];
  client.data = slvn::Data{};
  client.data.ScaleX = client.data.ScaleY = 1.0f;
  client.data.WatchMode = setup & 1;
  client.data.HandsDealt = (setup >> 1) & 1;
  client.data.SeatNamesSeen = (setup >> 2) & 1;
  client.data.TableGameOn = true;
  client.shell.launch.Prop_swicth = (setup >> 3) & 1;
  client.prop.Prop_GameDllState = static_cast<int16_t>(((setup >> 4) & 3) - 1);
  const uint8_t winds[] = {8, 4, 2, 1};
  for (int i = 0; i < 4; ++i) {
    client.custom[i].SeatWind = (setup & 0x40) ? winds[i] : 0;
    client.custom[i].name = i == 0 ? "me" : "";
    client.Detail[i] = slvn::UserDetail{};
    for (auto* labels : {&client.main_form.Nid, &client.main_form.Cash, &client.main_form.Level})
      (*labels)[i].SetCaption("");
  }
  try {
    for (size_t at = 1; at + slvn::GamePacket::kSize <= size; at += slvn::GamePacket::kSize) {
      slvn::GamePacket& msg = client.net.Msg;
      std::memcpy(msg.bytes().data(), data + at, slvn::GamePacket::kSize);
      DecodeAlone(msg);
      msg.SetByte(2, 0);
      msg.SetByte(3, (msg.Byte(3) & 1) ? 21 : 20);
      client.net.info = slvn::DecodeHeader(msg);
      slvn::Deal_MSG(client);
    }
  } catch (const slvn::ProgramEnded&) {
    // The own name left, or a spectator's watch ended.
  }
  return 0;
}
