#include "video/video_toolbar.h"

#include "chat/chat_state.h"
#include "platform/desktop.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/resources/image_resource.h"
#include "shell/startup.h"
#include "video/zoom_window.h"

namespace slvn {

namespace {

// Same-second snapshots get "-2", "-3"...; past this many the click gives up.
constexpr int kMaxRepeats = 100;

std::string PhotoFolder(Client& client) {
  return ProgramFolderOf(client) + "/photo";
}

void OpenAlbum(Client& client) {
  const std::string folder = PhotoFolder(client);
  MakeFolder(folder);
  if (client.video_hooks.OpenAlbum) client.video_hooks.OpenAlbum(folder);
}

void ToggleZoomWindow(Client& client, int seat) {
  ZoomWindow& w = ZoomWindowOf(client, seat);
  if (w.Shown()) {
    w.Unload();
    return;
  }
  w.Show();
  w.SetTopmost(true);
  const MainForm& m = client.main_form;
  const double H = m.Height(), W = m.Width(), T = m.Top(), L = m.Left();
  constexpr double kLeftShift[] = {-0.2, -0.25, 0, 0.25};
  w.SetTop(T + (H - w.Height()) / 2 + (seat == 0 ? 0.2 : -0.2) * H);
  w.SetLeft(L + (W - w.Width()) / 2 + kLeftShift[seat] * W);
  client.data.ZoomTarget = static_cast<int16_t>(seat);
  client.main_form.Timer_Zoom.SetEnabled(true);
}

void TakeSnapshot(Client& client, int seat) {
  const std::string folder = PhotoFolder(client);
  MakeFolder(folder);
  const VideoFrame& frame = client.data.LastFrame[seat];
  if (frame.empty()) return;  // nothing to keep yet
  const std::tm when =
      client.video_hooks.LocalTime ? client.video_hooks.LocalTime() : LocalTimeNow();
  for (int repeat = 1; repeat <= kMaxRepeats; ++repeat) {
    switch (WriteNewFile(SnapshotFileName(folder, when, repeat), frame)) {
      case NewFileResult::kWritten:
        ShowPhotoSavedMessage(client);
        return;
      case NewFileResult::kExists:
        continue;
      case NewFileResult::kFailed:
        return;
    }
  }
}

void SwitchOwnVideoOff(Client& client) {
  MainForm& f = client.main_form;
  if (!client.data.OwnCaptureOn || !f.vcap1.Visible()) return;
  client.video.vcap1->StopCapture();
  f.vcap1.SetVisible(false);
  f.PicLocal[0].SetVisible(false);
  f.Tiplbl.SetVisible(false);
  f.ImgShow[0].SetVisible(true);
  f.Tou[0].SetVisible(true);
  f.Tou[0].ZOrder(0);
  f.ImgShow[0].ZOrder(0);
  f.Tou[0].ZOrder(0);
  if (client.prop.Prop_GameDllState > 0) {
    f.Tou[0].SetVisible(false);
    rec_state(client, 2, true, 0);
  }
}

void SwitchPeerVideoOff(Client& client, int seat) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (d.VideoClosedByUser[seat]) return;
  d.VideoClosedByUser[seat] = true;
  f.PicLocal[seat].SetVisible(false);
  // A display that is already hidden stays hidden.
  if (f.vshow[seat].Visible()) {
    f.vshow[seat].SetVisible(false);
    if (client.prop.Prop_GameDllState > 0) rec_state(client, 2, true, seat);
  }
  f.ImgKuang[seat].SetVisible(false);
  ZoomWindow& w = ZoomWindowOf(client, seat);
  if (w.Shown()) w.Hide();
  f.ImgShow[seat].SetVisible(true);
}

void SetButtonPicture(Client& client, int index, bool hover) {
  LoadGifResource(client, ToolbarPicture(index, hover), "GIF", *client.main_form.ImCmd[index]);
}

}  // namespace

int ToolbarPicture(int index, bool hover) {
  if (index == 0) return hover ? 864 : 863;
  const int role = index % 4;
  if (index >= 4 && role == 3) return hover ? 859 : 858;  // a button that does nothing
  const int normal = index >= 4 && role == 0 ? 850 : 850 + role;
  return hover ? normal + 4 : normal;
}

std::string SnapshotFileName(const std::string& folder, const std::tm& when, int repeat) {
  std::string name = folder + "/";
  for (int n :
       {when.tm_year + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec})
    name += std::to_string(n);
  if (repeat > 1) name += "-" + std::to_string(repeat);
  return name + ".bmp";
}

void ImCmd_Click(Client& client, int index) {
  if (index < 0 || index > 15) return;
  const int seat = index / 4;
  switch (index % 4) {
    case 0:
      if (seat == 0)
        OpenAlbum(client);
      else
        SwitchPeerVideoOff(client, seat);
      break;
    case 1:
      ToggleZoomWindow(client, seat);
      break;
    case 2:
      TakeSnapshot(client, seat);
      break;
    default:
      if (seat == 0) SwitchOwnVideoOff(client);
      break;
  }
}

void ImCmd_MouseMove(Client& client, int index, int, int, double, double) {
  if (index < 0 || index > 15) return;
  MainForm& f = client.main_form;
  if (!client.data.ImCmdHover[index]) {
    client.data.ImCmdHover[index] = true;
    SetButtonPicture(client, index, true);
  }
  if (index > 3) return;
  constexpr const char* kTips[] = {"像册", "放大", "拍照", "视频开关"};
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  const ImageControl& button = *f.ImCmd[index];
  f.Tiplbl.SetWidth((index == 3 ? 54 : 28) * sx);
  f.Tiplbl.SetText(kTips[index]);
  f.Tiplbl.SetLeft(f.PicLocal[0].Left() + button.Left() + button.Width());
  f.Tiplbl.SetTop(f.PicLocal[0].Top() + 10 * sy);
  f.Tiplbl.SetVisible(true);
  f.Tiplbl.ZOrder(0);
}

void PicLocal_MouseMove(Client& client, int, int, int, double, double) {
  MainForm& f = client.main_form;
  if (f.Tiplbl.Visible()) f.Tiplbl.SetVisible(false);
  for (int i = 0; i < 16; ++i) {
    if (!client.data.ImCmdHover[i]) continue;
    SetButtonPicture(client, i, false);
    client.data.ImCmdHover[i] = false;
  }
}

void ShowPhotoSavedMessage(Client& client) {
  PutSysmsgLine(client, "照相成功,照片保存在本机相册中。");
}

}  // namespace slvn
