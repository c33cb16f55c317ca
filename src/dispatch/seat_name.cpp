#include "dispatch/seat_name.h"

#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/general.h"

namespace slvn {

void OwnSeatSearch(Client& client) {
  const auto& names = client.net.SeatNames;
  int own = -1;
  for (int k = kSeatCount - 1; k >= 0 && own < 0; --k)
    if (names[k] == client.custom[0].name) own = k;
  if (own < 0) return;
  for (int j = 0; j < kSeatCount; ++j) {
    PlayerHand& seat = client.custom[j];
    seat.SeatWind = BitValue(static_cast<uint8_t>((own + 4 - j) % 4));
    seat.name = names[BitIndex(seat.SeatWind)];
  }
}

void HandleSeatName(Client& client) {
  Data& data = client.data;
  MainForm& f = client.main_form;
  data.ReseatRequested = false;
  if (!data.WatchMode) f.TimerKeepAlive.SetEnabled(false);
  for (int i = 0; i < f.OK.Count(); ++i)
    if (f.OK.Exists(i)) f.OK[i].SetVisible(false);
  ++data.BatchCount;
  data.SeatNamesSeen = true;
  if (data.BatchCount != 4) return;
  data.BatchCount = 0;
  data.SeatedDetailCount = 0;
  if (f.AnNiu.Exists(2)) LoadGifResource(client, client.images.ButtonPics[6], "GIF", f.AnNiu[2]);
  data.AnNiuState[2] = true;
  data.LayoutBusy = false;
  OwnSeatSearch(client);
  if (client.prop.Prop_GameDllState > 0)
    for (int16_t seat = 1; seat <= 3; ++seat) ClearUser(client, seat);
}

}  // namespace slvn
