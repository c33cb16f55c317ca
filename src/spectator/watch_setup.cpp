#include <algorithm>
#include <array>

#include "dispatch/hand_start.h"
#include "dispatch/seating.h"
#include "dispatch/user_detail.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/net/game_packet.h"
#include "spectator/spectator.h"
#include "table/tile_code.h"
#include "ui/seat_draw.h"

namespace slvn {

namespace {

constexpr size_t kSeatByte = 6;

// The slot of the watched player: the first whose user id is the watched
// one; when none is, the first stored message's player, so the table is
// still turned to a seat. Only a message naming one seat can be watched.
int WatchedSlot(const std::array<UserDetail, 4>& records, const std::array<uint8_t, 4>& seats,
                double watched_id) {
  for (int k = 0; k < 4; ++k)
    if (records[k].userid == watched_id && IsSeatBit(seats[k])) return k;
  for (int k = 0; k < 4; ++k)
    if (IsSeatBit(seats[k])) return k;
  return -1;
}

int16_t Die(int16_t value) {
  return static_cast<int16_t>(std::clamp<int>(value, 1, 6));
}

}  // namespace

void SetupWatchTable(Client& client) {
  Data& d = client.data;
  std::array<UserDetail, 4> records;
  std::array<uint8_t, 4> seats{};
  for (int k = 0; k < 4; ++k) {
    auto& stored = d.WatchPackets[k];
    stored[kSeatByte] &= 15;
    seats[k] = stored[kSeatByte];
    ParseUserDetail(records[k], GamePacket(stored));
  }
  const int w = WatchedSlot(records, seats, client.Detail[0].userid);
  if (w < 0) return;
  client.custom[0].SeatWind = seats[w];
  client.custom[0].name = records[w].account;
  ShowCompass(client);
  client.Detail[0] = records[w];
  // A message whose seat is not one of the four, or is the watched seat, is
  // not placed; of two with one seat, the later one sits there.
  for (int j = 0; j < 4; ++j) {
    if (!IsSeatBit(seats[j])) continue;
    const int r = RelativeSeat(seats[w], seats[j]);
    if (r == 0) continue;
    client.custom[r].SeatWind = seats[j];
    client.custom[r].name = records[j].account;
    client.Detail[r] = records[j];
  }
  for (int r = 0; r < kSeatCount; ++r) {
    if (client.custom[r].SeatWind != d.WatchedSeat) continue;
    client.custom[r].Dealer = -1;
    // The wall breaks where the players' own tables break it.
    d.WallHead = WallHeadFromDice(Die(d.DiceValues[0]), Die(d.DiceValues[1]), r);
    d.WallTail = WallPosition(d.WallHead + 118);
    break;
  }
  ScoreForm& score = LoadScoreForm(client);
  for (int r = 0; r < kSeatCount; ++r) {
    ShowPlayer(client, r);
    if (!score.ID.Exists(r) || !score.Tou.Exists(r)) continue;
    score.ID[r].SetCaption(client.Detail[r].name);
    SetBoardAvatar(client, score.Tou[r], client.data.ScoreNames[r][1]);
  }
}

}  // namespace slvn
