// Arbitrary table-lifecycle commands (16 with any sub-code, 22 and 23) on a
// seated, laid-out table: seat masks, names, texts and wealth values from the
// packet must keep every index in range, and the ends of the program must be
// the program's own. One laid-out table per scale serves every input, reset
// before each, on the manual clock.
#include <cstdint>

#include "dispatch/deal_msg.h"
#include "laid_out_client.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/net/game_packet.h"
#include "shell/program_end.h"
#include "table/seat_records.h"
#include "ui/main_form.h"
#include "ui/table_reset.h"

namespace {

constexpr uint8_t kCommands[] = {16, 16, 22, 23};
// Per packet: command, seat byte, the four data words' low bytes, byte 11,
// then 8 bytes written from offset 16 (names, text, wealth), the last one
// repeated up to byte 215 when odd, and the last four at 268.
constexpr size_t kRecord = 19;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  slvn::Client& client = LaidOutClient("slvn_fuzz_table_lifecycle", data[0] & 4);
  const float scale = client.data.ScaleX;
  slvn::Data& d = client.data;
  d = slvn::Data{};
  slvn::SetStartValues(d);
  d.ScaleX = d.ScaleY = scale;
  client.heartbeat = slvn::HeartbeatState{};
  client.prop = slvn::PropState{};
  slvn::ClearTableForNextHand(client);
  d.TableCleared = false;
  slvn::ClearRecordBoards(client);
  client.frmOtherExit.Hide();
  d.LoggedIn = true;
  d.WatchMode = data[0] & 1;
  d.TableGameOn = data[0] & 2;
  d.WealthMultiplier = data[0] & 8 ? 5 : 0;
  d.HandsDealt = data[0] & 16 ? 1 : 0;
  const uint8_t winds[] = {8, 4, 2, 1};
  const char* names[] = {"me", "south", "west", "north"};
  for (int i = 0; i < 4; ++i) {
    client.custom[i].SeatWind = data[0] & 32 ? 0 : winds[i];
    client.custom[i].name = names[i];
    client.Detail[i] = slvn::UserDetail{};
    client.Detail[i].name = names[i];
    client.main_form.Nid[i].SetCaption(names[i]);
  }
  try {
    for (size_t at = 1; at + kRecord <= size; at += kRecord) {
      const uint8_t* r = data + at;
      slvn::GamePacket& msg = client.net.Msg;
      msg = slvn::GamePacket{};
      msg.SetByte(3, kCommands[r[0] % 4]);
      msg.SetByte(6, r[1]);
      for (int v = 0; v < 4; ++v) msg.SetByte(9 + 2 * v, r[2 + v]);
      msg.SetByte(11, r[6]);
      for (int k = 0; k < 8; ++k) msg.SetByte(16 + k, r[7 + k]);
      if (r[14] & 1)
        for (size_t k = 24; k < 216; ++k) msg.SetByte(k, r[14]);
      for (int k = 0; k < 4; ++k) msg.SetByte(268 + k, r[15 + k]);
      client.net.info = slvn::DecodeHeader(msg);
      slvn::Deal_MSG(client);
    }
  } catch (const slvn::ProgramEnded&) {
    // The own seat left, or a spectator's watch ended.
  }
  return 0;
}
