#include "table/seat_records.h"

#include "shell/client.h"

namespace slvn {

void ClearPlayerInfo(Client& client) {
  Data& data = client.data;
  for (int i = 0; i < kSeatCount; ++i) {
    PlayerHand& seat = client.custom[i];
    data.CoinSubtotal[i] = 0;
    seat.sum = 0;
    seat.Dealer = 0;
    for (TileSlot& slot : seat.Slots) {
      slot.State = 0;
      slot.ImageIndex = -1;
    }
    seat.FirstConcealed = 4;
    seat.ConcealedCount = 0;
    seat.WildCount = 0;
    seat.RedDragonCount = 0;
    seat.WildKongCount = 0;
    seat.MeldEnd = i == 0 ? 3 : 4;
    data.ResultRows[i][16] = 0;
    data.CoinAmounts[i] = 0;
    client.net.SeatNames[i].clear();
  }
  data.WildTile = -1;
  data.DrawFromHead = true;
  data.TileClickExpected = false;
  data.BatchCount = 0;
  for (auto& row : data.ShownTiles) row.fill(0);
  client.RightDiscardImages.fill(0);
  client.RightDiscardCount = 0;
  for (auto& row : data.SetAsideImages) row.fill(0);
  data.WinnerSeat = -1;
  data.EndRowCount = 0;
  data.HandRunning = false;
}

}  // namespace slvn
