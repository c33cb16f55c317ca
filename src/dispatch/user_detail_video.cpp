#include "dispatch/user_detail_video.h"

#include "chat/chat_state.h"
#include "shell/client.h"
#include "video/video_chat.h"
#include "video/zoom_window.h"

namespace slvn {

namespace {

constexpr int16_t kLinked = 10;

void HidePeerPanel(MainForm& f, int seat) {
  f.vshow[seat].SetVisible(false);
  f.PicLocal[seat].SetVisible(false);
  f.ImgKuang[seat].SetVisible(false);
  f.ImgShow[seat].SetVisible(false);
}

// The first player who replaces a table mate of the last game start: every
// peer's video closed, the old mates' slots dropped, logged out.
void RepairAfterReplacement(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  P2PSocket& link = *client.video.P2PSocket1;
  for (int i = 1; i <= 3; ++i) {
    HidePeerPanel(f, i);
    f.Tou[i].SetVisible(true);
    f.Tou[i].ZOrder(0);
    const std::string& old_mate = d.TableMateNames[static_cast<size_t>(i - 1)];
    if (!old_mate.empty())
      for (int k = 1; k <= 3; ++k)
        if (link.UserID(k) == old_mate) link.DropUser(k);
    d.FirstFrameShown[i] = false;
    d.VideoClosedByUser[i] = false;
    d.FrameSendCount[i] = 0;
    ZoomWindowOf(client, i).Hide();
    d.LastFrame[i].clear();
  }
  link.LogoutServer();
}

}  // namespace

void ResetPeerVideoPanels(Client& client) {
  Data& d = client.data;
  for (int i = 1; i <= 3; ++i) {
    d.FirstFrameShown[i] = false;
    d.VideoClosedByUser[i] = false;
    HidePeerPanel(client.main_form, i);
    ZoomWindow& w = ZoomWindowOf(client, i);
    w.Hide();
    w.Unload();
  }
}

void PairJoiningPlayerVideo(Client& client, int s) {
  Data& d = client.data;
  if (s < 1 || s > 3) return;
  const std::string& name = client.custom[s].name;
  const std::string& before = d.TableMateNames[static_cast<size_t>(s - 1)];
  if (!before.empty() && before != name) {
    ++d.RejoinCount;
    if (d.VideoSetting && d.RejoinCount == 1) RepairAfterReplacement(client);
  }
  if (!TakesPartInVideo(client) || !d.VideoLoggedIn || name.empty()) return;
  P2PSocket& link = *client.video.P2PSocket1;
  const int slot = ChooseVideoSlot(link, name, s, FreeSlotRule::kLast);
  if (link.UserState(slot) < kLinked && slot <= link.UserCount) link.ConnectUser(slot, name);
}

void LoginOwnVideo(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (!TakesPartInVideo(client)) return;
  client.video.P2PSocket1->LoginServer(client.custom[0].name);
  if (d.OwnCaptureOn) return;
  if (StartOwnCapture(client)) {
    d.OwnCaptureOn = true;
    f.PicLocal[0].SetVisible(true);
    f.vcap1.SetVisible(true);
    f.vcap1.ZOrder(0);
  } else {
    d.OwnCaptureOn = false;
    f.vcap1.SetVisible(false);
    PutSysmsgLine(client, "您没有视频设备或您的视频源正在使用。");
  }
}

void HandOverVideoPanel(Client& client, int s) {
  if (s < 1 || s > 3) return;
  client.data.FirstFrameShown[s] = false;
  client.main_form.vshow[s].SetVisible(false);
  client.main_form.ImgKuang[s].SetVisible(false);
}

void EndUserDetailsVideo(Client& client) {
  StartLocalVideo(client);
  // The camera that runs stays shown: the own panel goes as the capture allows.
  ShowOwnVideo(client, client.data.OwnCaptureOn, false);
}

}  // namespace slvn
