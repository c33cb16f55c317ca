#include "chat/talk.h"

#include "platform/picture.h"
#include "shell/client.h"
#include "shell/keys.h"
#include "shell/resources/embedded.h"

namespace slvn {

namespace {

constexpr int kTranslucent = 200;

// Over the table, a third across and two thirds down; on the small screen
// measured from the whole window instead.
template <typename Window>
void PlaceOverTable(const Client& client, Window& window) {
  const MainForm& f = client.main_form;
  window.SetTop(f.Top() + f.Pic1.Top() + 0.66 * f.Pic1.Height());
  window.SetLeft(f.Left() + f.Pic1.Left() + 0.30 * f.Pic1.Width());
  if (client.data.ScaleY < 1.0f) {
    window.SetTop(f.Top() + f.Pic1.Top() + 0.60 * f.Height());
    window.SetLeft(f.Left() + f.Pic1.Left() + 0.27 * f.Width());
  }
}

void ShowOverTable(Client& client) {
  TalkForm& talk = client.Talk;
  talk.Show();
  talk.SetTopmost(true);
  PlaceOverTable(client, talk);
  SyncTalkList(client);
}

}  // namespace

TalkForm::TalkForm(Forms& forms) : Form(forms) {
  SetCaption("聊天");
  Move(0, 0, 4785, 2715);
  Background.SetStretch(true);
  Background.Move(0, 0, 4785, 2715);
  Background.SetPicture(DecodePicture(NamedAssetBytes("talk_back")));
  Text1.Move(120, 240, 4575, 2370);
  Text1.SetBackColor(0x303030);
  Text1.SetForeColor(0xE0FFFF);
  Label1.Move(120, 0, 4575, 255);
  Label1.SetBackStyle(kBackTransparent);
  Label1.SetMousePointer(kPointerCustom);
  Label1.SetToolTipText("关闭");
}

void ConnectTalk(Client& client) {
  TalkForm& talk = client.Talk;
  talk.OnLoad = [&client] { Talk_Load(client); };
  talk.Label1.Click = [&client] { Label1_Click(client); };
  talk.Text1.KeyDown = [&client](int key, int shift) { Text1_KeyDown(client, key, shift); };
  // The player's own scroll stays until a writer adds a line.
  talk.Text1.Scroll = [&client] { client.chat.Text1TopIndex = client.Talk.Text1.TopIndex(); };
  client.main_form.Lbchat.Click = [&client] { Lbchat_Click(client); };
}

void Talk_Load(Client& client) {
  TalkForm& talk = client.Talk;
  talk.SetAlpha(kTranslucent);
  const MainForm& f = client.main_form;
  talk.SetTop(0.66 * f.Height());
  talk.SetLeft(0.30 * f.Width());
}

void Lbchat_Click(Client& client) {
  TalkForm& talk = client.Talk;
  if (talk.Loaded() && talk.Visible()) {
    talk.Hide();
    return;
  }
  ShowOverTable(client);
}

void ShowTalkWindow(Client& client) {
  ShowOverTable(client);
}

void HideTalkWindow(Client& client) {
  client.Talk.Load();
  client.Talk.Hide();
}

void Label1_Click(Client& client) {
  client.Talk.Hide();
}

void Text1_KeyDown(Client& client, int key_code, int) {
  auto& state = client.data.AltCState;
  if (key_code == kKeyAlt)
    state[0] = 1;
  else if (key_code == kKeyC)
    state[1] = 1;
  else
    state = {0, 0};
  if (state[0] == 1 && state[1] == 1) {
    state = {0, 0};
    client.Talk.Hide();
  }
}

void SyncTalkList(Client& client) {
  const ChatState& chat = client.chat;
  ListBox& list = client.Talk.Text1;
  const int count = static_cast<int>(chat.Text1.size());
  bool same = list.ListCount() == count;
  for (int i = 0; same && i < count; ++i) same = list.List(i) == chat.Text1[static_cast<size_t>(i)];
  if (!same) {
    list.Clear();
    for (const auto& line : chat.Text1) list.AddItem(line);
  }
  if (chat.Text1TopIndex >= 0 && chat.Text1TopIndex < count) list.SetTopIndex(chat.Text1TopIndex);
}

void ScrollHistoryToEnd(Client& client) {
  ChatState& chat = client.chat;
  chat.Text1TopIndex = chat.Text1.empty() ? 0 : static_cast<int>(chat.Text1.size()) - 1;
  SyncTalkList(client);
}

}  // namespace slvn
