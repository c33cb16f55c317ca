#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "shell/client.h"
#include "shell/general.h"
#include "shell/net/game_packet.h"
#include "support/table_layout.h"
#include "table/claims.h"
#include "table/hand_order.h"
#include "ui/table_reset.h"

namespace slvn::test {

// A laid-out table with the own seat East; hands are dealt straight into the
// seat records, own slot j shown by image 10 + j, other seats' by 40 + 20 * seat + j.
class ClaimsTest : public ::testing::Test {
 protected:
  explicit ClaimsTest(float scale = 1.0f) {
    LayOutTable(client, scale);
    ClearTableTiles(client);
    ResetTableView(client);
    ClearPlayerInfo(client);
    const uint8_t winds[4] = {8, 4, 2, 1};  // East, then left South, top West, right North
    for (int s = 0; s < 4; ++s) client.custom[s].SeatWind = winds[s];
    client.data.LoggedIn = true;
    client.data.AnNiuState[2] = true;
    client.sound.SoundOn = 0;
  }
  static int Image(int seat, int slot) { return seat == 0 ? 10 + slot : 40 + 20 * seat + slot; }
  // Deals `codes` into slots `first`.. of a seat; own tiles stand in their places.
  void Deal(int seat, const std::vector<TileCode>& codes, int first = 4) {
    PlayerHand& hand = client.custom[seat];
    hand.FirstConcealed = static_cast<int16_t>(first);
    hand.MeldEnd = static_cast<int16_t>(seat == 0 ? first - 1 : first);
    hand.ConcealedCount = static_cast<int16_t>(codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
      const int slot = first + static_cast<int>(i);
      hand.Slots[slot] = {1, codes[i], static_cast<int16_t>(Image(seat, slot))};
      ShowTileImage(client, static_cast<int16_t>(Image(seat, slot)), 144);
      if (seat == 0) Tile(Image(0, slot)).Move(X() + slot * W(), Y(), W(), 78 * Sy());
    }
    client.data.TileWidth[0] = static_cast<int16_t>(W());
  }
  std::vector<TileCode> Codes(int seat, int from, int to) {
    std::vector<TileCode> codes;
    for (int s = from; s <= to; ++s) codes.push_back(client.custom[seat].Slots[s].Code);
    return codes;
  }
  std::vector<int> Images(int seat, int from, int to) {
    std::vector<int> images;
    for (int s = from; s <= to; ++s) images.push_back(client.custom[seat].Slots[s].ImageIndex);
    return images;
  }
  // The packets queued since the last call.
  std::vector<GameMessage> Sent() {
    std::vector<GameMessage> out;
    GamePacket p;
    while (client.net.SendRing.TakePacket(p)) {
      GameMessage m;
      m.cmd = p.Byte(3);
      m.seat = p.Byte(6);
      for (int k = 0; k < 4; ++k) m.value[k] = static_cast<int16_t>(p.U16BE(8 + 2 * k));
      out.push_back(m);
    }
    return out;
  }
  int16_t TilePictureOf(TileCode code) const {
    return static_cast<int16_t>(9 * BitIndex(static_cast<uint8_t>(code >> 4)) + (code & 15) - 1);
  }
  int HandSlotOf(TileCode code) const {
    const PlayerHand& hand = client.custom[0];
    for (int s = hand.FirstConcealed; s < hand.FirstConcealed + hand.ConcealedCount; ++s)
      if (hand.Slots[s].Code == code) return s;
    return -1;
  }
  ImageControl& Tile(int i) { return f.MJ_Image[i]; }
  double Sx() const { return client.data.ScaleX; }
  double Sy() const { return client.data.ScaleY; }
  double W() const { return static_cast<int16_t>(std::nearbyint(48 * Sx())); }
  double X() const { return client.custom[0].HandX; }
  double Y() const { return client.custom[0].HandY; }

  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
};

}  // namespace slvn::test
