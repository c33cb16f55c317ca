#include "dispatch/table_lifecycle.h"

#include <array>

#include "chat/chat_state.h"
#include "pending/pending.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/resources/image_resource.h"
#include "table/seat_records.h"
#include "ui/table_reset.h"

namespace slvn {

namespace {

constexpr size_t kReadyName = 16;  // command 23: the account name, single-byte characters
constexpr size_t kReadyNameLength = 16;

// The dealer caption by the dealer's seat bit index.
constexpr std::array<const char*, 4> kWindNames = {"北", "西", "南", "东"};

void HideSeatChangeWidgets(MainForm& f) {
  f.ImgShuffle.SetVisible(false);
  f.LblShuffle.SetVisible(false);
  f.WebBrowser2.SetVisible(false);
}

}  // namespace

void HandleGameStart(Client& client) {
  Net& net = client.net;
  Data& d = client.data;
  MainForm& f = client.main_form;
  net.info.seat &= 15;
  const uint8_t dealer = net.info.seat;
  f.Zhuang.SetCaption(kWindNames[BitIndex(dealer) & 3]);
  for (PlayerHand& seat : client.custom) {
    if (seat.SeatWind != dealer) continue;
    seat.Dealer = -1;
    break;
  }
  if (f.WindowState() != kNormal && !d.BossKey) {
    // Restoring the window brings it to the front and gives it the focus.
    f.SetWindowState(kNormal);
    MinimizeLobbyWindow(client);
  }
  for (int i = 1; i <= 3; ++i) d.TableMateNames[i - 1] = client.custom[i].name;
  // Kept as the four bytes came: the reconnect packet returns them unchanged.
  net.ReconnectId = net.Msg.U32LE(packet_offset::kReconnectId);
  HideSeatChangeWidgets(f);
  d.TableGameOn = true;
}

void HandleReadyState(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  const std::string name = client.net.Msg.ByteString(kReadyName, kReadyNameLength);
  if (client.net.info.value[3] == 1) {
    for (int i = 0; i < kSeatCount; ++i) {
      if (client.custom[i].name != name || !f.Nid.Exists(i) || f.Nid[i].Caption().empty()) continue;
      if (!f.OK.Exists(i)) continue;
      f.OK[i].SetVisible(true);
      f.OK[i].ZOrder(0);
    }
  }
  for (int i = 1; i <= 3; ++i)
    if (!f.OK.Exists(i) || !f.OK[i].Visible()) return;
  if (d.HandsDealt <= 0) return;
  if (f.AnNiu.Exists(2)) LoadGifResource(client, client.images.ButtonPics[6], "GIF", f.AnNiu[2]);
  d.AnNiuState[2] = true;
  ClearTableTiles(client);
  ResetTableView(client);
  ClearPlayerInfo(client);
  d.TableCleared = true;
}

void ShowSeatChangeScreen(Client& client) {
  MainForm& f = client.main_form;
  f.ImgShuffle.SetVisible(true);
  f.ImgShuffle.ZOrder(0);
  f.LblShuffle.SetVisible(true);
  f.LblShuffle.ZOrder(0);
  f.LblShuffle.SetCaption(client.data.SeatWaitText[0]);
  client.data.ShuffleShown = true;
  f.WebBrowser2.Navigate(client.data.ShufflePage);
  f.WebBrowser2.ZOrder(0);
  f.WebBrowser2.SetVisible(true);
}

void ClearVacatedSeat(Client& client, int i) {
  if (i < 1 || i >= kSeatCount) return;
  MainForm& f = client.main_form;
  if (f.OK.Exists(i)) f.OK[i].SetVisible(false);
  if (f.Tou.Exists(i)) f.Tou[i].SetPicture(nullptr);
  for (auto* labels : {&f.Nid, &f.Cash, &f.Level})
    if (labels->Exists(i)) (*labels)[i].SetCaption("");
  SetSysmsgLine(client, 0, "");
  client.custom[i].name.clear();
  ClearTableFields(client.Detail[i]);
}

void ShowExitNotice(Client& client, const std::string& text, NoticeArea area) {
  OtherExitDialog& dialog = client.frmOtherExit;
  const MainForm& main = client.main_form;
  dialog.Load();
  dialog.Label1.SetCaption(text);
  dialog.SetTopmost(true);
  double left = main.Left(), top = main.Top(), width = main.Width(), height = main.Height();
  if (area == NoticeArea::kTable) {
    left += main.Pic1.Left();
    top += main.Pic1.Top();
    width = main.Pic1.Width();
    height = main.Pic1.Height();
  }
  dialog.SetLeft(left + (width - dialog.Width()) / 2);
  dialog.SetTop(top + (height - dialog.Height()) / 2);
  dialog.Show();
}

}  // namespace slvn
