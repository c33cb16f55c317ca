// Claims, melds and reveals with seat records, table values and command
// words all taken from the input: whatever the server sends and whatever
// state the records are in, nothing may read or write outside a slot list,
// an image array or a shared table.
#include <algorithm>
#include <cstdint>
#include <span>

#include "shell/client.h"
#include "table/claims.h"
#include "ui/layout_table.h"

namespace {

class Input {
 public:
  explicit Input(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Empty() const { return bytes_.empty(); }
  uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const uint8_t b = bytes_[0];
    bytes_ = bytes_.subspan(1);
    return b;
  }
  // Mostly small values, sometimes anything.
  int16_t Small() {
    const uint8_t b = Byte();
    return b < 0xF0 ? static_cast<int16_t>(b % 24) - 2 : static_cast<int16_t>(b << 8 | Byte());
  }

 private:
  std::span<const uint8_t> bytes_;
};

// One laid-out table for the whole run; the state the claims touch starts
// afresh for each input.
slvn::Client& FreshClient() {
  static slvn::Client client;
  static bool laid_out = false;
  if (!laid_out) {
    client.data.ScaleX = client.data.ScaleY = 1;
    slvn::InitImageTables(client);
    slvn::LoadMainFormDesign(client);
    slvn::LayoutTable(client);
    slvn::LayoutTableWidgets(client);
    laid_out = true;
  }
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  client.data = slvn::Data{};
  client.data.ScaleX = sx;
  client.data.ScaleY = sy;
  client.custom = {};
  client.heartbeat = slvn::HeartbeatState{};
  client.sound.SoundOn = 0;
  return client;
}

void FillState(slvn::Client& client, Input& in) {
  slvn::Data& d = client.data;
  for (auto& hand : client.custom) {
    hand.SeatWind = static_cast<uint8_t>(1 << (in.Byte() & 3));
    hand.MeldEnd = in.Small();
    hand.FirstConcealed = in.Small();
    hand.ConcealedCount = in.Small();
    hand.WildKongCount = in.Small();
    hand.RedDragonCount = in.Small();
    for (auto& slot : hand.Slots) {
      slot.State = static_cast<int16_t>(in.Byte() % 8);
      slot.Code = static_cast<slvn::TileCode>(in.Byte());
      slot.ImageIndex = static_cast<int16_t>(in.Small() * 6);
    }
  }
  d.LoggedIn = true;
  d.LastTileImage = static_cast<int16_t>(in.Small() * 6);
  d.LastDiscard = static_cast<slvn::TileCode>(in.Byte());
  d.WildTile = static_cast<slvn::TileCode>(in.Byte());
  d.AllowedClaims = in.Byte();
  d.WinnerSeat = in.Small();
  d.TileClickExpected = in.Byte() & 1;
  for (auto& s : d.ChiSlots) s = in.Small();
  for (auto& s : d.GangSlots) s = in.Small();
  for (auto& o : d.OfferedClaims) o = 2;
  d.HiddenKongCount = in.Byte();
  for (auto& i : d.HiddenKongImages) i = static_cast<int16_t>(in.Small() * 6);
  for (auto& s : d.HiddenKongSeats) s = in.Byte();
  d.NextWallCount = in.Byte();
  for (auto& i : d.NextWallImages) i = static_cast<int16_t>(in.Small() * 6);
  d.WallHead = in.Small();
  d.WallTail = in.Small();
  for (auto& row : d.ShownTiles)
    for (auto& t : row) t = static_cast<int16_t>(in.Byte() & 1 ? in.Byte() : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  slvn::Client& client = FreshClient();
  Input in({data, size});
  FillState(client, in);
  for (int steps = 0; steps < 32 && !in.Empty(); ++steps) {
    const uint8_t what = in.Byte();
    const int16_t a = in.Small();
    const uint8_t seat = in.Byte();
    const std::array<slvn::TileCode, 3> tiles{in.Byte(), in.Byte(), in.Byte()};
    switch (what % 10) {
      case 0:
        slvn::ApplyOperation(client, static_cast<int16_t>(1 << (in.Byte() % 8)), seat, tiles);
        break;
      case 1:
        slvn::ShowHandTiles(client, seat, {tiles[0], tiles[1], tiles[2], a});
        break;
      case 2:
        client.data.ActionState = 0;
        slvn::Operation_Click(client, a);
        break;
      case 3:
        slvn::Chi_Click(client, a);
        break;
      case 4:
        slvn::Gang_Click(client, a);
        break;
      case 5:
        slvn::MJ_Image_MouseDown(client, a * 6, seat % 3, 0, 0, 0);
        break;
      case 6:
        slvn::MJ_Image_MouseMove(client, a * 6, 0, 0, 0, 0);
        slvn::PutBackLiftedTile(client, tiles[0] * 4, tiles[1] * 3);
        break;
      case 7:
        slvn::OfferChi(client, tiles[0]);
        break;
      case 8:
        slvn::OfferGang(client);
        break;
      default:
        slvn::SendChi(client, a, tiles[0] % 20);
        slvn::SendPeng(client, tiles[1]);
        slvn::SendGangDiscard(client, a);
        slvn::SendGangHand(client, a);
        slvn::SendGangAdd(client, a);
        break;
    }
    // The send ring is emptied as the heartbeat would.
    slvn::GamePacket p;
    while (client.net.SendRing.TakePacket(p)) {
    }
  }
  return 0;
}
