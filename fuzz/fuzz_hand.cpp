// Arbitrary hand commands (new hand, float bet, face-up tile, deal, draw,
// discard, turn prompt, claim) on a laid-out table: every index the packet
// bytes reach (seats, slots, wall positions, tile codes, dice) must stay in
// range, and no walk over the wall may run for ever.
#include <cstdint>
#include <memory>

#include "dispatch/deal_msg.h"
#include "shell/client.h"
#include "shell/net/game_packet.h"
#include "shell/program_end.h"
#include "table/seat_records.h"
#include "ui/layout_table.h"
#include "ui/main_form.h"
#include "ui/table_reset.h"

namespace {

constexpr uint8_t kCommands[] = {1, 2, 4, 5, 6, 7, 8, 14};
constexpr size_t kRecord = 8;

slvn::Client& LaidOutClient() {
  static slvn::Client client{std::make_unique<slvn::ManualClock>()};
  static bool laid_out = false;
  if (!laid_out) {
    client.data.ScaleX = client.data.ScaleY = 1.0f;
    slvn::InitImageTables(client);
    slvn::LoadMainFormDesign(client);
    slvn::PlaceTableArea(client, true, true);
    slvn::LayoutTable(client);
    slvn::LayoutTableWidgets(client);
    laid_out = true;
  }
  return client;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  slvn::Client& client = LaidOutClient();
  const float scale = client.data.ScaleX;
  client.data = slvn::Data{};
  client.data.ScaleX = client.data.ScaleY = scale;
  client.data.LoggedIn = true;
  client.data.WatchMode = data[0] & 1;
  client.data.LastTileImage = -1;
  client.heartbeat = slvn::HeartbeatState{};
  const uint8_t winds[] = {8, 4, 2, 1};
  for (int i = 0; i < 4; ++i) client.custom[i].SeatWind = winds[i];
  slvn::ClearTableTiles(client);
  slvn::ResetTableView(client);
  slvn::ClearPlayerInfo(client);
  client.not_yet_built.clear();
  try {
    for (size_t at = 1; at + kRecord <= size; at += kRecord) {
      const uint8_t* r = data + at;
      slvn::GamePacket& msg = client.net.Msg;
      msg = slvn::GamePacket{};
      msg.SetByte(3, kCommands[r[0] % 8]);
      msg.SetByte(6, r[1]);
      for (int v = 0; v < 4; ++v) msg.SetByte(9 + 2 * v, r[2 + v]);
      msg.SetByte(16, r[6]);
      msg.SetByte(100, r[7]);
      client.net.info = slvn::DecodeHeader(msg);
      slvn::Deal_MSG(client);
    }
  } catch (const slvn::ProgramEnded&) {
    // No seat deals: the program would end here.
  }
  return 0;
}
