#include "video/video_chat.h"

#include <algorithm>

#include "chat/chat_state.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "video/video_controls.h"
#include "video/video_toolbar.h"
#include "video/zoom_window.h"

namespace slvn {

namespace {

constexpr int kVideoPort = 8888;
constexpr int16_t kVideoUsers = 3;
constexpr int16_t kLoggedIn = 2;
constexpr int16_t kLinked = 10;  // slot states from here on carry a peer
constexpr int16_t kFormatReady = 14;
constexpr int16_t kAllFrames = 15;
// Own frames to a slot in states 10-14: the first three, then one in 21.
constexpr int16_t kFirstFrames = 3;
constexpr int16_t kThinning = 23;

enum Step { kCaptureStarted = 0, kLoggedInStep = 1, kPaired = 2, kTornDown = 3 };

bool PluginActive(const Client& client) {
  return client.prop.Prop_GameDllState > 0;
}

// rec_state(2, ...) as every video panel reports it: only with the plug-in on.
void ReportPanel(Client& client, bool gone, int seat) {
  if (PluginActive(client)) rec_state(client, 2, gone, seat);
}

Timer& RedrawTimer(MainForm& f, int seat) {
  return seat == 1 ? f.Timer_Vshow1 : seat == 2 ? f.Timer_Vshow2 : f.Timer_Vshow3;
}

// The seat 1..3 whose player carries the name; 0 for none or an empty name.
int SeatOfName(const Client& client, const std::string& name) {
  if (name.empty()) return 0;
  for (int k = 1; k <= 3; ++k)
    if (client.custom[k].name == name) return k;
  return 0;
}

void HidePeerPanel(MainForm& f, int seat) {
  f.vshow[seat].SetVisible(false);
  f.PicLocal[seat].SetVisible(false);
  f.ImgKuang[seat].SetVisible(false);
  f.ImgShow[seat].SetVisible(false);
}

void ClearPeerWords(Data& d, int seat) {
  d.FirstFrameShown[seat] = false;
  d.VideoClosedByUser[seat] = false;
  d.FrameSendCount[seat] = 0;
}

void ShowInZoomWindow(Client& client, int seat, const VideoFrame& frame) {
  ZoomWindow& w = ZoomWindowOf(client, seat);
  if (!w.Shown()) return;
  if (VShow* display = client.video.zoom[seat].get()) display->ShowFrame(frame);
  w.vshow.SetVisible(true);
  w.vshow.ZOrder(0);
}

}  // namespace

bool TakesPartInVideo(const Client& client) {
  return client.data.VideoSetting && !client.data.WatchMode;
}

int ChooseVideoSlot(const P2PSocket& link, const std::string& name, int seat, FreeSlotRule rule) {
  for (int j = 1; j <= 3; ++j)
    if (link.UserID(j) == name) return j;
  int chosen = seat;
  for (int j = 1; j <= 3; ++j) {
    if (link.UserState(j) > 0) continue;
    chosen = j;
    if (rule == FreeSlotRule::kFirst) break;
  }
  return chosen;
}

bool StartOwnCapture(Client& client) {
  MainForm& f = client.main_form;
  VCap& camera = *client.video.vcap1;
  const float sx = client.data.ScaleX;
  camera.OpenDevice();
  const ImageControl& avatar = f.Tou[0];
  f.vcap1.Move(avatar.Left(), avatar.Top(), avatar.Width(), avatar.Height() - 7 * sx);
  f.Proponeself.Move(f.vcap1.Left() - 10, f.vcap1.Top() - 10, f.vcap1.Width() + 15,
                     f.vcap1.Height() + 35);
  f.Proponeself.SetEnabled(true);
  f.Proponeself.ZOrder(0);
  camera.CaptureSetting4 = true;
  camera.CaptureSetting2 = true;
  camera.CaptureParam = 2;
  camera.CaptureSetting1 = false;
  f.vcap1.SetVisible(false);
  return camera.StartCapture() == 0;
}

void LoginVideoServer(Client& client) {
  Data& d = client.data;
  if (d.VideoBusy[kLoggedInStep]) return;
  d.VideoBusy[kLoggedInStep] = true;
  d.VideoBusy[kTornDown] = false;
  if (TakesPartInVideo(client)) {
    d.VideoLoggedIn = false;
    P2PSocket& link = *client.video.P2PSocket1;
    link.ServerAddress = client.shell.launch.GameServerHost;
    link.ServerPort = kVideoPort;
    link.UserCount = kVideoUsers;
    link.LoginServer(client.custom[0].name);
  }
  ShowOwnVideo(client, d.OwnCaptureOn, false);
}

void StartLocalVideo(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (!TakesPartInVideo(client) || d.VideoBusy[kCaptureStarted]) return;
  d.VideoBusy[kCaptureStarted] = true;
  f.PicLocal[0].SetVisible(false);
  f.vcap1.SetVisible(false);
  if (d.OwnCaptureOn) return;
  if (StartOwnCapture(client)) {
    d.OwnCaptureOn = true;
    // Under the camera; kept on the table, where the camera's foot leaves
    // too little room on it.
    const double below = f.vcap1.Top() + f.vcap1.Height() + 18 * d.ScaleX;
    const double table_bottom = 768 * d.ScaleY - f.PicLocal[0].Height();
    f.PicLocal[0].SetTop(std::min(below, table_bottom));
    d.OwnVideoRetry = true;
    d.OwnVideoRetryTicks = 0;
  } else {
    d.OwnCaptureOn = false;
    PutSysmsgLine(client, "您没有视频设备或您的视频源正在使用。");
  }
}

void ShowOwnVideo(Client& client, bool ok, bool hide) {
  MainForm& f = client.main_form;
  if (hide) {
    f.Tou[0].SetVisible(true);
    f.Tou[0].ZOrder(0);
    f.vcap1.SetVisible(false);
    f.PicLocal[0].SetVisible(false);
    f.Tiplbl.SetVisible(false);
    ReportPanel(client, true, 0);
    return;
  }
  if (!ok) return;
  f.Tou[0].SetVisible(true);
  ReportPanel(client, false, 0);
  f.vcap1.SetVisible(true);
  f.PicLocal[0].SetVisible(true);
  f.vcap1.ZOrder(0);
  f.PicLocal[0].ZOrder(0);
}

void ConnectTableVideo(Client& client) {
  Data& d = client.data;
  if (d.VideoBusy[kPaired]) return;
  d.VideoBusy[kPaired] = true;
  d.VideoBusy[kTornDown] = false;
  if (!TakesPartInVideo(client)) return;
  P2PSocket& link = *client.video.P2PSocket1;
  for (int seat = 1; seat <= 3; ++seat) {
    const std::string& name = client.custom[seat].name;
    if (name.empty()) continue;  // nobody to pair
    const int slot = ChooseVideoSlot(link, name, seat, FreeSlotRule::kFirst);
    if (link.UserState(slot) < kLinked && slot <= link.UserCount) link.ConnectUser(slot, name);
  }
}

void CloseVideo(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (d.VideoBusy[kTornDown]) return;
  d.VideoBusy[kTornDown] = true;
  d.VideoBusy[kCaptureStarted] = d.VideoBusy[kLoggedInStep] = d.VideoBusy[kPaired] = false;
  if (!d.VideoSetting) return;
  P2PSocket& link = *client.video.P2PSocket1;
  for (int seat = 1; seat <= 3; ++seat) {
    HidePeerPanel(f, seat);
    f.Tou[seat].SetVisible(true);
    f.Tou[seat].ZOrder(0);
    const std::string& name = client.custom[seat].name;
    if (!name.empty()) {
      ReportPanel(client, true, seat);
      for (int slot = 1; slot <= 3; ++slot)
        if (link.UserID(slot) == name) link.DropUser(slot);
    }
    ClearPeerWords(d, seat);
    ZoomWindowOf(client, seat).Hide();
    d.LastFrame[seat].clear();
  }
  if (d.OwnCaptureOn) {
    client.video.vcap1->StopCapture();
    f.vcap1.SetVisible(false);
    f.PicLocal[0].SetVisible(false);
    f.Tiplbl.SetVisible(false);
    f.ImgShow[0].SetVisible(false);
    f.Tou[0].SetVisible(true);
    f.Tou[0].ZOrder(0);
    ReportPanel(client, true, 0);
  }
  link.LogoutServer();
  d.VideoLoggedIn = true;
  d.VideoServerSet = false;
  d.OwnCaptureOn = false;
}

void P2PSocket1_LoginStateChanged(Client& client, int16_t state) {
  if (state == kLoggedIn) client.data.VideoLoggedIn = true;
}

void P2PSocket1_UserStateChanged(Client& client, int slot, int16_t state) {
  if (state != kFormatReady && state != kAllFrames) return;
  P2PSocket& link = *client.video.P2PSocket1;
  VCap& camera = *client.video.vcap1;
  link.SendFormat(slot, camera.FormatHeader());
  link.SendParam(slot, camera.CaptureParam);
  link.SendFrame(slot, client.data.LastFrame[0]);
}

void vcap1_FrameCaptured(Client& client, const VideoFrame& frame) {
  Data& d = client.data;
  d.LastFrame[0] = frame;
  P2PSocket& link = *client.video.P2PSocket1;
  const int slots = std::min<int>(link.UserCount, 3);
  for (int slot = 1; slot <= slots; ++slot) {
    const int16_t state = link.UserState(slot);
    if (state < kLinked) continue;
    if (state == kAllFrames) {
      link.SendFrame(slot, frame);
      continue;
    }
    int16_t& count = d.FrameSendCount[slot];
    if (count < kFirstFrames) {
      ++count;
      link.SendFrame(slot, frame);
    } else if (count < kThinning) {
      ++count;
    } else {
      count = kFirstFrames;
      link.SendFrame(slot, frame);
    }
  }
  ShowInZoomWindow(client, 0, frame);
}

void P2PSocket1_FrameArrived(Client& client, int slot, const VideoFrame& frame) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  P2PSocket& link = *client.video.P2PSocket1;
  const int seat = SeatOfName(client, link.UserID(slot));
  if (seat == 0 || !CheckBmpFrame(frame)) return;
  // Every seat keeps its newest frame, shown or not, so a snapshot or a
  // reopening never shows an old one.
  d.LastFrame[seat] = frame;
  if (link.UserState(slot) < kLinked || d.VideoClosedByUser[seat]) return;
  if (!f.vshow[seat].Visible() && !d.FirstFrameShown[seat]) {
    ReportPanel(client, false, seat);
    f.ImgKuang[seat].SetVisible(true);
    f.PicLocal[seat].SetVisible(true);
    RedrawTimer(f, seat).SetEnabled(true);
    f.vshow[seat].SetVisible(true);
    f.vshow[seat].ZOrder(0);
    d.FirstFrameShown[seat] = true;
  } else if (VShow* display = client.video.vshow[seat].get()) {
    display->ShowFrame(frame);
  }
  ShowInZoomWindow(client, seat, frame);
}

void ImgShow_Click(Client& client, int index) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (index >= 1 && index <= 3) {
    d.VideoClosedByUser[index] = false;
    ReportPanel(client, false, index);
    f.ImgKuang[index].SetVisible(true);
    f.PicLocal[index].SetVisible(true);
    f.vshow[index].SetVisible(true);
    f.vshow[index].ZOrder(0);
    RedrawTimer(f, index).SetEnabled(true);
    return;
  }
  if (index != 0 || !d.OwnCaptureOn) return;
  client.video.vcap1->StartCapture();
  f.vcap1.SetVisible(true);
  f.PicLocal[0].SetVisible(true);
  f.vcap1.ZOrder(0);
  f.ImgShow[0].SetVisible(false);
  f.PicLocal[0].ZOrder(0);
  f.Tou[0].SetVisible(false);
  f.Tou[0].SetEnabled(false);
  ReportPanel(client, false, 0);
}

void Timer_Vshow_Timer(Client& client, int seat) {
  MainForm& f = client.main_form;
  RedrawTimer(f, seat).SetEnabled(false);
  if (!f.PicLocal[seat].Visible()) return;
  if (VShow* display = client.video.vshow[seat].get())
    display->ShowFrame(client.data.LastFrame[seat]);
}

void Timer_Zoom_Timer(Client& client) {
  client.main_form.Timer_Zoom.SetEnabled(false);
  const int target = client.data.ZoomTarget;
  if (target < 0 || target > 3) return;
  // A window closed meanwhile stays closed.
  if (!ZoomWindowOf(client, target).Shown()) return;
  if (VShow* display = client.video.zoom[target].get())
    display->ShowFrame(client.data.LastFrame[target]);
}

void HideVideoPanels(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (d.OwnCaptureOn) {
    f.vcap1.SetVisible(false);
    f.PicLocal[0].SetVisible(false);
    f.Tiplbl.SetVisible(false);
  }
  for (int seat = 1; seat <= 3; ++seat) {
    ClearPeerWords(d, seat);
    HidePeerPanel(f, seat);
  }
}

void UnloadVideoZoomWindows(Client& client) {
  for (int seat = 1; seat <= 3; ++seat) {
    ZoomWindow& w = ZoomWindowOf(client, seat);
    w.Hide();
    w.Unload();
  }
}

void HideSeatVideo(Client& client, int seat) {
  if (seat < 1 || seat > 3) return;
  HidePeerPanel(client.main_form, seat);
  ClearPeerWords(client.data, seat);
  ZoomWindowOf(client, seat).Hide();
}

void SwitchVideoPanelsOff(Client& client) {
  MainForm& f = client.main_form;
  for (int seat = 1; seat <= 3; ++seat) {
    if (!f.vshow[seat].Visible()) continue;
    f.vshow[seat].SetVisible(false);
    f.ImgKuang[seat].SetVisible(false);
    f.PicLocal[seat].SetVisible(false);
    f.Tou[seat].SetVisible(true);
    f.Tou[seat].ZOrder(0);
    if (PluginActive(client)) {
      f.Tou[seat].SetVisible(false);
      rec_state(client, 2, true, seat);
    }
  }
  for (int seat = 0; seat <= 3; ++seat) ZoomWindowOf(client, seat).Hide();
}

void SwitchVideoPanelsOn(Client& client) {
  MainForm& f = client.main_form;
  if (client.data.OwnCaptureOn) {
    f.PicLocal[0].SetVisible(true);
    f.ImgShow[0].SetVisible(false);
  }
  for (int seat = 1; seat <= 3; ++seat) {
    if (!f.ImgShow[seat].Visible()) continue;
    f.vshow[seat].SetVisible(true);
    f.ImgKuang[seat].SetVisible(true);
    f.PicLocal[seat].SetVisible(true);
    f.ImgShow[seat].SetVisible(false);
    f.Tou[seat].SetVisible(false);
    ReportPanel(client, false, seat);
  }
}

void HideVideoTip(Client& client) {
  if (client.data.OwnCaptureOn && client.main_form.Tiplbl.Visible())
    client.main_form.Tiplbl.SetVisible(false);
}

void ConnectVideoEvents(Client& client) {
  VideoControls& v = client.video;
  MainForm& f = client.main_form;
  v.P2PSocket1->LoginStateChanged = [&client](int16_t s) {
    P2PSocket1_LoginStateChanged(client, s);
  };
  v.P2PSocket1->UserStateChanged = [&client](int slot, int16_t s) {
    P2PSocket1_UserStateChanged(client, slot, s);
  };
  v.P2PSocket1->FrameArrived = [&client](int slot, const VideoFrame& frame) {
    P2PSocket1_FrameArrived(client, slot, frame);
  };
  v.vcap1->FrameCaptured = [&client](const VideoFrame& frame) {
    vcap1_FrameCaptured(client, frame);
  };
  for (int seat = 1; seat <= 3; ++seat) {
    RedrawTimer(f, seat).SetHandler([&client, seat] { Timer_Vshow_Timer(client, seat); });
    // The displays' pointer events feed the player card.
    if (VShow* display = v.vshow[seat].get())
      f.vshow[seat].MouseMove = [display](int b, int s, double x, double y) {
        if (display->MouseMove)
          display->MouseMove(b, s, static_cast<float>(x), static_cast<float>(y));
      };
  }
  f.Timer_Zoom.SetHandler([&client] { Timer_Zoom_Timer(client); });
  f.ImgShow.Click = [&client](int index) { ImgShow_Click(client, index); };
  for (int i = 0; i < 16; ++i) {
    ImageControl& button = *f.ImCmd[i];
    button.Click = [&client, i] { ImCmd_Click(client, i); };
    button.MouseMove = [&client, i](int b, int s, double x, double y) {
      ImCmd_MouseMove(client, i, b, s, x, y);
    };
  }
  f.PicLocal.MouseMove = [&client](int index, int b, int s, double x, double y) {
    PicLocal_MouseMove(client, index, b, s, x, y);
  };
  ConnectZoomWindows(client);
}

}  // namespace slvn
