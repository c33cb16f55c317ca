#include "ui/button_bar.h"

#include "chat/chat_line.h"
#include "chat/talk.h"
#include "plugin/prop_bridge.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/exit_dialogs.h"
#include "shell/keys.h"
#include "shell/leave_reset.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/resources/image_resource.h"
#include "table/seat_records.h"
#include "ui/table_reset.h"

namespace slvn {

namespace {

constexpr int kContinuePicture = 6;
constexpr const char* kInfoPath = "/gameinfo/slvn/index.php";

bool Shown(const Form& form) {
  return form.Loaded() && form.Visible();
}

void PluginStep(Client& client) {
  if (client.prop.Prop_GameDllState > 0) setbankstate(client, 2);
}

// The table's game is over: the table is cleared and the lobby takes over,
// with nothing sent; without a lobby window the program ends.
void LeaveFinishedTable(Client& client) {
  client.data.TableCleared = false;
  ResetClientState(client);
  ClearPlayerInfo(client);
  ResetTableView(client);
  if (!FindLobbyWindow(client)) EndProgramInOrder(client);
  client.main_form.SetWindowState(kMinimized);
  ReturnToLobby(client);
}

void DeclareReady(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (d.AnNiuState[2]) return;
  if (f.AnNiu.Exists(2))
    LoadGifResource(client, client.images.ButtonPics[kContinuePicture], "GIF", f.AnNiu[2]);
  f.OK[0].SetVisible(true);
  f.OK[0].ZOrder(0);
  client.heartbeat.TickEnabled[kReadyCountdown] = false;
  f.Time_Img.SetVisible(false);
  f.Number.SetVisible(false);
  d.AnNiuState[2] = true;
  if (!d.TableCleared) ClearTableForNextHand(client);
  SendReady(client);
}

void StartOrContinue(Client& client) {
  HideRecordBoards(client);
  if (client.data.GameOver)
    LeaveFinishedTable(client);
  else
    DeclareReady(client);
}

void ToggleSettings(Client& client) {
  VosSetForm& dialog = client.VosSet;
  if (Shown(dialog)) {
    dialog.Hide();
  } else {
    dialog.Load();
    const MainForm& f = client.main_form;
    dialog.SetLeft(f.Left() + f.Pic1.Left() + f.Pic1.Width() - 1.1 * dialog.Width());
    dialog.SetTop(f.Top() + f.Pic1.Top() + f.Pic1.Height() - 1.35 * dialog.Height());
    dialog.Show();
  }
  PluginStep(client);
}

void HideClient(Client& client) {
  client.main_form.SetWindowState(kMinimized);
  HideRecordBoards(client);
  HideTalkWindow(client);
  if (client.VosSet.Loaded()) client.VosSet.Hide();
  Form_KeyDown(client, kKeyF1, 0);
}

void OpenInformationPage(Client& client) {
  client.url_opener->Open("http://" + client.shell.launch.GameServerHost + kInfoPath);
}

}  // namespace

int AnNiuNormalEntry(int index) {
  if (index == 2) return kContinuePicture;
  return index < 3 ? 2 * index : 2 * index + 2;
}

int AnNiuHoverEntry(int index) {
  if (index == 2) return 7;
  return index < 3 ? 2 * index + 1 : 2 * index + 3;
}

void AnNiu_Click(Client& client, int index) {
  switch (index) {
    case 0:
      SendChatButtonLine(client);
      break;
    case 1:
      Lbchat_Click(client);
      break;
    case 2:
      StartOrContinue(client);
      break;
    case 3:
      ToggleSettings(client);
      break;
    case 4:
      HideClient(client);
      break;
    case 5:
    case 6:
      ToggleRecordBoard(client, index);
      PluginStep(client);
      break;
    case 7:
      OpenInformationPage(client);
      break;
    case 8:
      PluginStep(client);
      ShowExitDialog(client);
      break;
    default:
      break;
  }
}

void AnNiu_MouseMove(Client& client, int index) {
  if (index < 0 || index > 8) return;
  bool& hover = client.data.AnNiuHover[static_cast<size_t>(index)];
  if (hover || !client.main_form.AnNiu.Exists(index)) return;
  hover = true;
  LoadGifResource(client, client.images.ButtonPics[static_cast<size_t>(AnNiuHoverEntry(index))],
                  "GIF", client.main_form.AnNiu[index]);
}

void ConnectButtonBar(Client& client) {
  MainForm& f = client.main_form;
  f.AnNiu.Click = [&client](int index) { AnNiu_Click(client, index); };
  f.AnNiu.MouseMove = [&client](int index, int, int, double, double) {
    AnNiu_MouseMove(client, index);
  };
}

}  // namespace slvn
