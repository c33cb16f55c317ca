#include "shell/keys.h"

#include "chat/talk.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/exit_dialogs.h"
#include "shell/floating_windows.h"
#include "shell/lobby_link.h"

namespace slvn {

namespace {

bool PluginActive(const Client& client) {
  return client.prop.Prop_GameDllState > 0;
}

void ForwardKey(Client& client, int key_code) {
  if (PluginActive(client)) SetKeyDown(client, key_code);
}

// The boss key: the client hides every window and itself, and the lobby too.
void BossKey(Client& client, BossKeyVariant variant, bool forward_f1) {
  client.data.BossKey = true;
  ApplyBossKeyToWindows(client, variant);
  if (variant == BossKeyVariant::kFromTable) client.frmExit.Hide();
  if (variant == BossKeyVariant::kFromStrip) client.frmExit.Unload();
  if (variant != BossKeyVariant::kFromWindow) client.data.CountdownStart = 0;
  if (forward_f1) ForwardKey(client, kKeyF1);
  client.main_form.SetWindowState(kMinimized);
  MinimizeLobbyWindow(client);
}

// Alt then C (or C then Alt) opens the chat history; any other key cancels.
void AltCStep(Client& client, int key_code) {
  auto& state = client.data.AltCState;
  if (key_code == kKeyAlt) {
    state[0] = 1;
  } else if (key_code == kKeyC) {
    state[1] = 1;
  } else {
    state = {0, 0};
  }
  if (state[0] == 1 && state[1] == 1) {
    state = {0, 0};
    ShowTalkWindow(client);
  }
}

void TableKeyDown(Client& client, int key_code, bool from_pic1) {
  if (key_code == kKeyEsc) {
    if (from_pic1 && PluginActive(client)) setbankstate(client, 2);
    ShowExitDialog(client);
    return;
  }
  if (key_code == kKeyF1) BossKey(client, BossKeyVariant::kFromTable, /*forward_f1=*/true);
  AltCStep(client, key_code);
  if (!from_pic1) client.main_form.SetFocus(&client.main_form.Chat);
}

}  // namespace

void Form_KeyDown(Client& client, int key_code, int) {
  if (key_code == kKeyF1) {
    ForwardKey(client, kKeyF1);
    BossKey(client, BossKeyVariant::kFromWindow, /*forward_f1=*/false);
  } else if (key_code > kKeyF1 && key_code <= kKeyF6 && !client.data.ChatHasFocus) {
    ForwardKey(client, key_code);
  }
}

void Chat_KeyDown(Client& client, int key_code, int) {
  if (key_code == kKeyF1) {
    ForwardKey(client, kKeyF1);
    BossKey(client, BossKeyVariant::kFromTable, /*forward_f1=*/false);
  } else if (key_code > kKeyF1 && key_code <= kKeyF6) {
    ForwardKey(client, key_code);
  }
}

void Pic1_KeyDown(Client& client, int key_code, int) {
  TableKeyDown(client, key_code, true);
}

void Pic2_KeyDown(Client& client, int key_code, int) {
  TableKeyDown(client, key_code, false);
}

void Sysmsg_KeyDown(Client& client, int, int key_code, int) {
  if (key_code == kKeyF1) BossKey(client, BossKeyVariant::kFromStrip, /*forward_f1=*/true);
}

void LbMove_MouseDown(Client& client, int button, int, double, double) {
  if (button != kLeftButton) return;
  HideTalkWindow(client);
  if (client.huifu.Loaded()) client.huifu.Hide();
  client.main_form.LbMove.SetMousePointer(kPointerSizeAll);
  client.main_form.SetMouseCapture(nullptr);
  client.main_form.BeginSystemMove();
}

void Pic1_Click(Client& client) {
  HideFloatingWindows(client);
  client.frmExit.Hide();
}

void Pic2_Click(Client& client) {
  Pic1_Click(client);
}

void ConnectKeys(Client& client) {
  MainForm& f = client.main_form;
  f.SetKeyPreview(true);
  f.KeyDown = [&client](int key, int shift) { Form_KeyDown(client, key, shift); };
  f.Chat.KeyDown = [&client](int key, int shift) { Chat_KeyDown(client, key, shift); };
  f.Chat.GotFocus = [&client] { client.data.ChatHasFocus = true; };
  f.Chat.LostFocus = [&client] { client.data.ChatHasFocus = false; };
  f.Pic1.KeyDown = [&client](int key, int shift) { Pic1_KeyDown(client, key, shift); };
  f.Pic2.KeyDown = [&client](int key, int shift) { Pic2_KeyDown(client, key, shift); };
  f.Sysmsg.KeyDown = [&client](int index, int key, int shift) {
    Sysmsg_KeyDown(client, index, key, shift);
  };
  f.LbMove.MouseDown = [&client](int button, int shift, double x, double y) {
    LbMove_MouseDown(client, button, shift, x, y);
  };
  f.Pic1.Click = [&client] { Pic1_Click(client); };
  f.Pic2.Click = [&client] { Pic2_Click(client); };
}

}  // namespace slvn
