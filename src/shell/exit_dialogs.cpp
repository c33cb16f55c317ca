#include "shell/exit_dialogs.h"

#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/leave_reset.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"
#include "table/seat_records.h"
#include "ui/table_reset.h"

namespace slvn {

namespace {

constexpr double kDialogWidth = 4800;  // twips: a 320 x 180 pixel background
constexpr double kDialogHeight = 2700;
constexpr int kTranslucent = 200;
constexpr uint32_t kLightYellow = 0x00C0FFFF;

void StyleLabel(Label& label, bool bold, int alignment) {
  label.SetFontName("宋体");
  label.SetFontSize(14.25);
  label.SetFontBold(bold);
  label.SetForeColor(kLightYellow);
  label.SetBackStyle(kBackTransparent);
  label.SetAlignment(alignment);
}

void SetUpDialog(Form& form, ImageControl& background) {
  form.SetCaption("退出");
  form.Move(0, 0, kDialogWidth, kDialogHeight);
  background.SetStretch(true);
  background.Move(0, 0, kDialogWidth, kDialogHeight);
  background.SetPicture(DecodePicture(NamedAssetBytes("dialog_exit")));
}

void SetHandCursor(ImageControl& button) {
  button.SetMousePointer(kPointerCustom);
}

// The end of both leave paths: back to the lobby, or the end without one.
void HandBackToLobby(Client& client) {
  if (!FindLobbyWindow(client)) EndProgram(client);
  client.main_form.SetWindowState(kMinimized);
  ReturnToLobby(client);
}

void ClearTable(Client& client) {
  client.data.TableCleared = false;
  ResetClientState(client);
  ClearPlayerInfo(client);
  ResetTableView(client);
}

}  // namespace

ExitDialog::ExitDialog(Forms& forms) : Form(forms) {
  SetUpDialog(*this, Background);
  // The table keeps the keys: Esc there opens the dialog and closes it again.
  SetShowsWithoutFocus(true);
  Label2.Move(480, 360, 3975, 330);
  Label2.SetCaption("游戏正在进行，逃跑会扣分！");
  Label2.SetVisible(false);
  Label1.Move(720, 960, 3495, 330);
  Label1.SetCaption("您真的要退出吗？");
  for (Label* label : {&Label2, &Label1}) StyleLabel(*label, true, kAlignCenter);
  pbCloseMe.Move(720, 1680);
  pbCancel.Move(2760, 1680);
  SetHandCursor(pbCloseMe);
  SetHandCursor(pbCancel);
}

OtherExitDialog::OtherExitDialog(Forms& forms) : Form(forms) {
  SetUpDialog(*this, Background);
  Move(0, 0, 4785, kDialogHeight);
  Label1.Move(480, 600, 3855, 1140);
  StyleLabel(Label1, false, kAlignLeft);
  imgOK.Move(720, 1680);
  imgCancel.Move(2520, 1680);
  SetHandCursor(imgOK);
  SetHandCursor(imgCancel);
}

void ConnectExitDialogs(Client& client) {
  client.frmExit.OnLoad = [&client] { frmExit_Load(client); };
  client.frmExit.pbCloseMe.Click = [&client] { pbCloseMe_Click(client); };
  client.frmExit.pbCancel.Click = [&client] { pbCancel_Click(client); };
  client.frmOtherExit.OnLoad = [&client] { frmOtherExit_Load(client); };
  client.frmOtherExit.imgOK.Click = [&client] { imgOK_Click(client); };
  client.frmOtherExit.imgCancel.Click = [&client] { imgCancel_Click(client); };
}

void ShowExitDialog(Client& client) {
  ExitDialog& dialog = client.frmExit;
  if (dialog.Loaded() && dialog.Visible()) {
    dialog.Hide();
    return;
  }
  dialog.Load();
  const MainForm& main = client.main_form;
  dialog.SetLeft(main.Left() + (main.Width() - dialog.Width()) / 2);
  dialog.SetTop(main.Top() + (main.Height() - dialog.Height()) / 2);
  // At every showing: a dialog hidden since an earlier hand keeps no old warning.
  dialog.Label2.SetVisible(client.data.HandRunning && !client.data.WatchMode);
  dialog.Show();
}

void frmExit_Load(Client& client) {
  ExitDialog& dialog = client.frmExit;
  dialog.SetAlpha(kTranslucent);
  // Each button takes its picture's size.
  dialog.pbCloseMe.Move(dialog.pbCloseMe.Left(), dialog.pbCloseMe.Top(), 65 * 15, 30 * 15);
  dialog.pbCancel.Move(dialog.pbCancel.Left(), dialog.pbCancel.Top(), 65 * 15, 30 * 15);
  LoadGifResource(client, client.images.DialogButtonPics[0], "GIF", dialog.pbCloseMe);
  LoadGifResource(client, client.images.DialogButtonPics[2], "GIF", dialog.pbCancel);
  dialog.Label2.SetVisible(client.data.HandRunning && !client.data.WatchMode);
  if (client.data.ShuffleShown) dialog.Background.SetPicture(nullptr);
}

void pbCloseMe_Click(Client& client) {
  LeavePathStarted(client);
  if (client.prop.Prop_GameDllState > 0) {
    UpdataMyProp(client, false);
    WaitSeconds(client, 0.25f);
  }
  if (client.Winsock1.State() == TcpSocket::kConnected) {
    client.heartbeat.Disable(kWatchdogSlot);
    LeaveTableAndStopVideo(client);
  }
  ClearTable(client);
  client.frmExit.Unload();
  HandBackToLobby(client);
  LeavePathFinished(client);
}

void pbCancel_Click(Client& client) {
  client.frmExit.Unload();
}

void frmOtherExit_Load(Client& client) {
  OtherExitDialog& dialog = client.frmOtherExit;
  dialog.SetAlpha(kTranslucent);
  dialog.imgOK.SetStretch(true);
  dialog.imgCancel.SetStretch(true);
  dialog.imgOK.Move(dialog.imgOK.Left(), dialog.imgOK.Top(), 70 * 15, 30 * 15);
  dialog.imgCancel.Move(dialog.imgCancel.Left(), dialog.imgCancel.Top(), 70 * 15, 30 * 15);
  LoadGifResource(client, client.images.DialogButtonPics[0], "GIF", dialog.imgOK);
  LoadGifResource(client, client.images.DialogButtonPics[2], "GIF", dialog.imgCancel);
}

void imgOK_Click(Client& client) {
  LeavePathStarted(client);
  ClearTable(client);
  client.frmOtherExit.Unload();
  HandBackToLobby(client);
  LeavePathFinished(client);
}

void imgCancel_Click(Client& client) {
  Data& d = client.data;
  d.GameOver = true;
  d.TableCleared = false;
  d.HandRunning = false;
  client.heartbeat.TickEnabled[kWatchdogSlot] = false;
  client.frmOtherExit.Unload();
}

}  // namespace slvn
