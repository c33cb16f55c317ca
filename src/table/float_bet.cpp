#include "table/float_bet.h"

#include "shell/client.h"
#include "shell/net/packet_io.h"

namespace slvn {

void ShowPiaoOptions(Client& client) {
  MainForm& f = client.main_form;
  f.img_piaoOpt.Click = [&client](int index) { img_piaoOpt_Click(client, index); };
  for (int i = 0; i <= 3; ++i) {
    client.data.PiaoOptGif[i] = static_cast<int16_t>(431 + 2 * i);
    LoadGifResource(client, client.data.PiaoOptGif[i], "GIF", f.img_piaoOpt[i]);
  }
  for (int i = 0; i <= 3; ++i) {
    f.img_piaoOpt[i].SetVisible(true);
    f.img_piaoOpt[i].ZOrder(0);
  }
}

void img_piaoOpt_Click(Client& client, int index) {
  if (!client.data.LoggedIn || index < 0 || index > 3) return;
  MainForm& f = client.main_form;
  for (int i = 0; i <= 3; ++i) f.img_piaoOpt[i].SetVisible(false);
  client.data.PiaoCountdownOn = false;
  client.data.PiaoChoicePending = false;
  f.Number.SetVisible(false);
  f.Time_Img.SetVisible(false);
  GameMessage bet;
  bet.cmd = Cmd_Piao;
  bet.seat = client.custom[0].SeatWind;
  bet.value[3] = kPiaoBets[index];
  Send_MSG(client, bet);
}

}  // namespace slvn
