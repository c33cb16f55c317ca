// Arbitrary hand commands (new hand, float bet, face-up tile, deal, draw,
// discard, turn prompt, claim, a joined hand's summary and seat tiles, the
// end rows, revealed hands and result rows with their sheets) on a
// laid-out table: every index the packet bytes reach (seats, slots, wall
// positions, tile codes, dice) must stay in range, and no walk over the wall
// may run for ever. A spectator's records are checked after every packet:
// images -1 or 0..119, counts inside the record, no image in two hands.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

#include "dispatch/deal_msg.h"
#include "laid_out_client.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/net/game_packet.h"
#include "shell/program_end.h"
#include "table/seat_records.h"
#include "ui/table_reset.h"

namespace {

constexpr uint8_t kCommands[] = {1, 2, 4, 5, 6, 7, 8, 14, 40, 41, 9, 15, 17};
constexpr size_t kCommandCount = sizeof(kCommands);
constexpr size_t kRecord = 8;
constexpr size_t kPairBytes = 48;  // command 40's tile pairs follow its record

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_hand: %s\n", what);
  std::abort();
}

void CheckRecords(const slvn::Client& client) {
  const bool watching = client.data.WatchMode;
  std::set<int> held;
  for (int s = 0; s < slvn::kSeatCount; ++s) {
    const slvn::PlayerHand& h = client.custom[s];
    for (const slvn::TileSlot& slot : h.Slots)
      Check(slot.ImageIndex >= -1 && slot.ImageIndex < slvn::kWallPositions, "slot image");
    for (int16_t image : client.data.SetAsideImages[s])
      Check(image >= -1 && image < slvn::kWallPositions, "set-aside image");
    if (!watching) continue;
    Check(h.FirstConcealed >= 0 && h.ConcealedCount >= 0 &&
              h.FirstConcealed + h.ConcealedCount <= slvn::PlayerHand::kSlotCount,
          "concealed run");
    for (int k = h.FirstConcealed; k < h.FirstConcealed + h.ConcealedCount; ++k)
      Check(held.insert(h.Slots[k].ImageIndex).second, "image in two hands");
  }
  Check(client.RightDiscardCount >= 0 && client.RightDiscardCount <= 24, "right discards");
  Check(client.data.NextWallCount <= 5, "wall tiles left");
  // A place whose byte was 0 holds no tile (-1).
  for (int16_t position : client.data.NextWallImages)
    Check(position >= -1 && position < slvn::kWallPositions, "wall position left");
  Check(client.data.LastTileImage >= -1 && client.data.LastTileImage < slvn::kWallPositions,
        "last tile image");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  slvn::Client& client = LaidOutClient("slvn_fuzz_hand");
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
  slvn::ClearRecordBoards(client);
  client.prop = slvn::PropState{};
  try {
    for (size_t at = 1; at + kRecord <= size; at += kRecord) {
      const uint8_t* r = data + at;
      slvn::GamePacket& msg = client.net.Msg;
      msg = slvn::GamePacket{};
      const uint8_t cmd = kCommands[r[0] % kCommandCount];
      msg.SetByte(3, cmd);
      msg.SetByte(6, r[1]);
      for (int v = 0; v < 4; ++v) msg.SetByte(9 + 2 * v, r[2 + v]);
      msg.SetByte(16, r[6]);
      msg.SetByte(100, r[7]);
      // Payload bytes follow the record: command 40's tile pairs, the end
      // row's numbers and texts, the wall tiles left, the result row.
      const size_t payload = cmd == 40   ? kPairBytes
                             : cmd == 9  ? 40
                             : cmd == 15 ? 5
                             : cmd == 17 ? 79
                                         : 0;
      if (cmd == 40) msg.SetByte(7, r[7]);
      if (cmd == 17) {  // signed words: the high bytes too
        msg.SetByte(10, r[6]);
        msg.SetByte(14, r[7]);
      }
      for (size_t i = 0; i < payload && at + kRecord + i < size; ++i)
        msg.SetByte(16 + i, data[at + kRecord + i]);
      at += payload;
      client.net.info = slvn::DecodeHeader(msg);
      slvn::Deal_MSG(client);
      CheckRecords(client);
    }
  } catch (const slvn::ProgramEnded&) {
    // No seat deals: the program would end here.
  }
  return 0;
}
