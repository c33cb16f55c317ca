#include "ui/settings_dialog.h"

#include "platform/program_folder.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"
#include "shell/sound/sound.h"
#include "shell/startup.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr int kTranslucent = 200;
constexpr int kOk = 0, kCancel = 2, kOffPicture = 4, kOnPicture = 5, kMandarin = 6, kLocal = 7;
constexpr double kTitleTops[5] = {40, 96, 152, 208, 256};
constexpr int kVideoPort = 8888;
constexpr int kVideoUsers = 3;
constexpr const char* kVideoFile = "vidiosetting.ini";

void SetButtonPicture(Client& client, int index, int entry) {
  LoadGifResource(client, client.images.DialogButtonPics[static_cast<size_t>(entry)], "GIF",
                  client.VosSet.Command2[index]);
}

// A sound switch shows the action it offers: off while its value is on.
int OfferPicture(bool on) {
  return on ? kOffPicture : kOnPicture;
}

void StartMusic(Client& client) {
  PlaySoundFile(client, client.sound.SoundBank[1], /*looping=*/true);
  SetSoundVolume(client, 3000);
}

void ToggleMusic(Client& client) {
  SoundState& s = client.sound;
  s.MusicOn = s.MusicOn == -1 ? 0 : -1;
  if (s.MusicOn)
    StartMusic(client);
  else
    StopSound(client);
  SetButtonPicture(client, 0, OfferPicture(s.MusicOn != 0));
}

void ToggleSystemSound(Client& client) {
  SoundState& s = client.sound;
  s.SystemSoundOn = s.SystemSoundOn == -1 ? 0 : -1;
  SetButtonPicture(client, 1, OfferPicture(s.SystemSoundOn != 0));
}

void ToggleFunctionSound(Client& client) {
  SoundState& s = client.sound;
  s.SoundOn = s.SoundOn == -1 ? 0 : -1;
  SetButtonPicture(client, 2, OfferPicture(s.SoundOn != 0));
  if (client.prop.Prop_GameDllState > 0) rec_state(client, 1, s.SoundOn != 0);
}

// The dialect switch's picture offers the other choice.
int DialectPicture(bool mandarin) {
  return mandarin ? kLocal : kMandarin;
}

// Every seat speaks the common dialect; the male voices move between
// Mandarin ("30") and the voices of their user details. Own details in a
// local dialect always switch to Mandarin.
void ToggleDialect(Client& client) {
  VosSetForm& dialog = client.VosSet;
  dialog.DialectOn = client.Detail[0].dialect != "00" || !dialog.DialectOn;
  for (size_t seat = 0; seat < client.Detail.size(); ++seat) {
    UserDetail& d = client.Detail[seat];
    d.dialect = "00";
    if (d.sex == 1) d.voice = dialog.DialectOn ? "30" : client.data.SeatVoice[seat];
  }
  SetButtonPicture(client, 3, DialectPicture(dialog.DialectOn));
}

void WriteVideoSetting(Client& client, const char* value) {
  client.IniFile.INIFileName(ProgramFolderOf(client) + "/" + kVideoFile);
  client.IniFile.WriteIniKey("vidiosetting", "vidiovalue", value);
}

void SwitchVideoOff(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  WriteVideoSetting(client, "0");
  d.VideoSetting = false;
  // The own bar, its tip and the open-video button go with the camera's picture.
  if (d.OwnCaptureOn && f.vcap1.Visible()) {
    client.video.vcap1->StopCapture();
    f.vcap1.SetVisible(false);
    f.PicLocal[0].SetVisible(false);
    f.Tiplbl.SetVisible(false);
    f.Tou[0].SetVisible(true);
    f.Tou[0].ZOrder(0);
    f.ImgShow[0].SetVisible(false);
    if (client.prop.Prop_GameDllState > 0) {
      f.Tou[0].SetVisible(false);
      rec_state(client, 2, true, 0);
    }
  }
  SwitchVideoPanelsOff(client);
  client.video.P2PSocket1->LogoutServer();
  d.VideoLoggedIn = true;  // a later log-in may pair again
  d.VideoServerSet = false;
  SetButtonPicture(client, 4, kOnPicture);
}

void SwitchVideoOn(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  WriteVideoSetting(client, "1");
  d.VideoSetting = true;
  const std::string& own = client.custom[0].name;
  if (!own.empty() && !d.VideoServerSet && TakesPartInVideo(client)) {
    d.VideoServerSet = true;
    P2PSocket& link = *client.video.P2PSocket1;
    link.ServerAddress = client.shell.launch.GameServerHost;
    link.ServerPort = kVideoPort;
    link.UserCount = kVideoUsers;
    link.LoginServer(own);
  }
  if (d.OwnCaptureOn) {
    client.video.vcap1->StartCapture();
    f.vcap1.SetVisible(true);
    f.Tou[0].SetVisible(false);
    f.Tou[0].SetEnabled(false);
    if (client.prop.Prop_GameDllState > 0) rec_state(client, 2, false, 0);
  }
  SwitchVideoPanelsOn(client);
  SetButtonPicture(client, 4, kOffPicture);
}

void ToggleVideo(Client& client) {
  // A missing file is only created, switched on; the next click switches.
  if (!Is_File_Exist(ProgramFolderOf(client), kVideoFile)) {
    WriteVideoSetting(client, "1");
    return;
  }
  if (client.data.VideoSetting)
    SwitchVideoOff(client);
  else
    SwitchVideoOn(client);
}

}  // namespace

VosSetForm::VosSetForm(Forms& forms) : Form(forms) {
  SetCaption("音效设置");
  SetScaleMode(ScaleMode::kPixels);
  Move(0, 0, 220 * 15, 365 * 15);
  Background.SetStretch(true);
  Background.Move(0, 0, 220, 365);
  Background.SetPicture(DecodePicture(NamedAssetBytes("settings_back")));
  for (int i = 0; i < 5; ++i) {
    if (i > 0) Image1.Load(i);
    Image1[i].SetStretch(true);
    Image1[i].Move(16, kTitleTops[i], 91, 35);
    Image1[i].SetVisible(true);
    Image1[i].SetPicture(DecodePicture(NamedAssetBytes("settings_title_" + std::to_string(i))));
  }
  Command2[0].SetStretch(true);
  Command2[0].SetMousePointer(kPointerCustom);
  Command1[0].SetStretch(true);
  Command1[0].SetMousePointer(kPointerCustom);
  Command1.Load(1);
  Command1[1].SetVisible(true);
}

void ConnectSettingsDialog(Client& client) {
  VosSetForm& dialog = client.VosSet;
  dialog.OnLoad = [&client] { VosSet_Load(client); };
  dialog.Command2.Click = [&client](int i) { Command2_Click(client, i); };
  dialog.Command1.Click = [&client](int i) { Command1_Click(client, i); };
}

void VosSet_Load(Client& client) {
  VosSetForm& dialog = client.VosSet;
  dialog.SetAlpha(kTranslucent);
  dialog.Command1[0].Move(28, 320, 65, 30);
  LoadGifResource(client, client.images.DialogButtonPics[kOk], "GIF", dialog.Command1[0]);
  dialog.Command1[1].Move(28 + 1.4 * 65, 320, 65, 30);
  LoadGifResource(client, client.images.DialogButtonPics[kCancel], "GIF", dialog.Command1[1]);
  for (int i = 1; i < 5; ++i) {
    dialog.Command2.Load(i);
    dialog.Command2[i].SetVisible(true);
  }
  dialog.DialectOn = client.Detail[0].dialect == "00";
  const SoundState& s = client.sound;
  const int pictures[5] = {
      OfferPicture(s.MusicOn != 0),           OfferPicture(s.SystemSoundOn != 0),
      OfferPicture(s.SoundOn != 0),           DialectPicture(dialog.DialectOn),
      OfferPicture(client.data.VideoSetting),
  };
  for (int i = 0; i < 5; ++i) {
    dialog.OptionChanged[static_cast<size_t>(i)] = 0;
    const ImageControl& title = dialog.Image1[i];
    dialog.Command2[i].Move(title.Left() + title.Width() + 20, title.Top() + 3, 65, 30);
    SetButtonPicture(client, i, pictures[i]);
  }
}

void Command2_Click(Client& client, int index) {
  if (index < 0 || index > 4) return;
  VosSetForm& dialog = client.VosSet;
  auto& changed = dialog.OptionChanged[static_cast<size_t>(index)];
  changed = changed ? 0 : -1;
  switch (index) {
    case 0:
      ToggleMusic(client);
      break;
    case 1:
      ToggleSystemSound(client);
      break;
    case 2:
      ToggleFunctionSound(client);
      break;
    case 3:
      ToggleDialect(client);
      break;
    default:
      ToggleVideo(client);
      break;
  }
}

void Command1_Click(Client& client, int index) {
  VosSetForm& dialog = client.VosSet;
  dialog.Hide();
  if (index == 1) {
    if (dialog.OptionChanged[0]) ToggleMusic(client);
    if (dialog.OptionChanged[1]) ToggleSystemSound(client);
    // The plug-in hears of the undone switch too, so it never keeps a stale value.
    if (dialog.OptionChanged[2]) ToggleFunctionSound(client);
    if (dialog.OptionChanged[3]) ToggleDialect(client);
  }
  for (int i = 0; i < 4; ++i) dialog.OptionChanged[static_cast<size_t>(i)] = 0;
}

bool Is_File_Exist(const std::string& folder, const std::string& file_name) {
  return FolderListsFile(folder, file_name);
}

}  // namespace slvn
