#include "ui/pointer_feedback.h"

#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/resources/image_resource.h"
#include "table/claims.h"
#include "ui/button_bar.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr int kPiaoNormal = 431;
constexpr int kPiaoHover = 432;
constexpr int kBankNormal = 450;

void ResetBank(Client& client) {
  client.prop.BankHovered = false;
  LoadGifResource(client, kBankNormal, "GIF", client.main_form.Bank);
}

void DiceTooltips(Client& client) {
  MainForm& f = client.main_form;
  if (client.data.DiceDoubling == 0) return;
  f.imgBeishu.SetToolTipText("骰子加倍 ×" + f.lblDifen.Caption());
  f.lblDifen.SetToolTipText("骰子加倍 ×" + f.lblDifen.Caption());
}

void WealthTooltips(Client& client) {
  MainForm& f = client.main_form;
  if (client.data.WealthMultiplier == 0) return;
  f.Imgwealth.SetToolTipText("财富加倍 ×" + f.lbwealth.Caption());
  f.lbwealth.SetToolTipText("财富加倍 ×" + f.lbwealth.Caption());
}

}  // namespace

void Pic1_MouseMove(Client& client, double x, double y) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  for (int i = 0; i < 9; ++i) {
    bool& hover = d.AnNiuHover[static_cast<size_t>(i)];
    if (!hover) continue;
    hover = false;
    if (f.AnNiu.Exists(i))
      LoadGifResource(client, client.images.ButtonPics[static_cast<size_t>(AnNiuNormalEntry(i))],
                      "GIF", f.AnNiu[i]);
  }
  PutBackLiftedTile(client, x, y);
  if (client.Information.Loaded() && client.Information.Visible()) client.Information.Hide();
  if (client.prop.BankHovered) ResetBank(client);
  PropState& prop = client.prop;
  prop.VideoPopupAsked = false;
  if (prop.VideoPopupSeat >= 1 && prop.VideoPopupSeat <= 4) {
    ShowCvVideo(client, static_cast<int16_t>(prop.VideoPopupSeat - 1), false);
    prop.VideoPopupSeat = 0;
  }
  for (int i = 0; i < 4; ++i) {
    int16_t& shown = d.PiaoOptGif[static_cast<size_t>(i)];
    const int normal = kPiaoNormal + 2 * i;
    if (shown == normal) continue;
    shown = static_cast<int16_t>(normal);
    if (f.img_piaoOpt.Exists(i)) LoadGifResource(client, normal, "GIF", f.img_piaoOpt[i]);
  }
  HideVideoTip(client);
}

void img_piaoOpt_MouseMove(Client& client, int index) {
  if (index < 0 || index > 3) return;
  int16_t& shown = client.data.PiaoOptGif[static_cast<size_t>(index)];
  const int hover = kPiaoHover + 2 * index;
  if (shown == hover) return;
  shown = static_cast<int16_t>(hover);
  if (client.main_form.img_piaoOpt.Exists(index))
    LoadGifResource(client, hover, "GIF", client.main_form.img_piaoOpt[index]);
}

void imgBeishu_MouseMove(Client& client) {
  DiceTooltips(client);
}

void lblDifen_MouseMove(Client& client) {
  DiceTooltips(client);
}

void Imgwealth_MouseMove(Client& client) {
  WealthTooltips(client);
}

void lbwealth_MouseMove(Client& client) {
  WealthTooltips(client);
}

void imgLocation_MouseMove(Client& client) {
  if (client.prop.BankHovered) ResetBank(client);
}

void ConnectPointerFeedback(Client& client) {
  MainForm& f = client.main_form;
  f.Pic1.MouseMove = [&client](int, int, double x, double y) { Pic1_MouseMove(client, x, y); };
  f.img_piaoOpt.MouseMove = [&client](int index, int, int, double, double) {
    img_piaoOpt_MouseMove(client, index);
  };
  f.imgBeishu.MouseMove = [&client](int, int, double, double) { imgBeishu_MouseMove(client); };
  f.lblDifen.MouseMove = [&client](int, int, double, double) { lblDifen_MouseMove(client); };
  f.Imgwealth.MouseMove = [&client](int, int, double, double) { Imgwealth_MouseMove(client); };
  f.lbwealth.MouseMove = [&client](int, int, double, double) { lbwealth_MouseMove(client); };
  f.imgLocation.MouseMove = [&client](int, int, double, double) { imgLocation_MouseMove(client); };
}

}  // namespace slvn
