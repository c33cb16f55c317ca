#include "table/timeout_play.h"

#include "shell/client.h"
#include "shell/general.h"
#include "shell/net/packet_io.h"
#include "shell/resources/image_resource.h"
#include "table/hand_order.h"
#include "table/table_centre.h"
#include "table/tile_code.h"

namespace slvn {

namespace {

constexpr int kOwnLyingView = 0;

void HideClaimWidgets(Client& client) {
  MainForm& f = client.main_form;
  for (int i = 0; i <= 4; ++i) {
    if (f.Operation.Exists(i)) {
      f.Operation[i].SetEnabled(false);
      f.Operation[i].SetVisible(false);
      LoadGifResource(client, client.images.ClaimButtonPics[3 * i], "GIF", f.Operation[i]);
    }
    if (f.Gang.Exists(i)) {
      f.Gang[i].SetEnabled(false);
      f.Gang[i].SetVisible(false);
    }
  }
  for (int i = 0; i <= 5; ++i) {
    if (!f.Chi.Exists(i)) continue;
    f.Chi[i].SetEnabled(false);
    f.Chi[i].SetVisible(false);
  }
}

void Send(Client& client, int16_t cmd, int16_t word0, int16_t word3) {
  GameMessage message;
  message.cmd = cmd;
  message.seat = client.custom[0].SeatWind;
  message.value = {word0, 0, 0, word3};
  Send_MSG(client, message);
}

}  // namespace

void TimeoutPlay(Client& client) {
  Data& d = client.data;
  PlayerHand& own = client.custom[0];
  HideClaimWidgets(client);
  if (!d.TurnActed) {
    Send(client, Cmd_Operate, kClaimPass, 0);
    d.TurnActed = true;
  }
  if (own.ConcealedCount < 2 || (own.ConcealedCount - 2) % 3 != 0) return;
  const int slot = own.FirstConcealed + own.ConcealedCount - 1;
  if (slot < 0 || slot >= PlayerHand::kSlotCount) return;  // a record the server made impossible
  d.TileClickExpected = false;
  d.TileWidth[0] = static_cast<int16_t>(RoundHalfEven(d.ScaleX * 36.0));
  d.TileHeight[0] = static_cast<int16_t>(RoundHalfEven(d.ScaleY * 50.0));
  const TileSlot& tile = own.Slots[slot];
  Send(client, Cmd_Discard, 0, static_cast<int16_t>((tile.Code & kTileCodeMask) | kDiscardFlag));
  d.LastTileImage = tile.ImageIndex;
  d.LastDiscardSeat = 0;
  ShowTileImage(client, tile.ImageIndex, PictureIndex(kOwnLyingView, tile.Code));
  auto& images = client.main_form.MJ_Image;
  if (images.Exists(tile.ImageIndex)) {
    ImageControl& image = images[tile.ImageIndex];
    const TablePoint centre = Pic1Centre(client);
    image.SetHeight(d.TileHeight[0]);
    image.SetWidth(d.TileWidth[0]);
    image.SetTop(centre.Y - image.Height() / 2);
    image.SetLeft(centre.X - image.Width() / 2);
    image.ZOrder(1);
  }
  --own.ConcealedCount;
}

}  // namespace slvn
