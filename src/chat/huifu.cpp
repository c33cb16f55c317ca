#include "chat/huifu.h"

#include <charconv>

#include "chat/chat_line.h"
#include "chat/talk.h"
#include "shell/client.h"
#include "shell/ini/ini_file.h"
#include "shell/net/packet_io.h"
#include "shell/resources/embedded.h"
#include "shell/resources/image_resource.h"
#include "shell/sound/sound.h"
#include "shell/sound/voice_path.h"
#include "shell/startup.h"

namespace slvn {

namespace {

constexpr int kTranslucent = 200;
constexpr int16_t kPhraseVoiceMark = 97;
constexpr int kHoverPicture1 = 501;
constexpr int kHoverPicture2 = 503;

void StyleList(ListBox& list) {
  list.Move(120, 240, 4575, 2340);
  list.SetFontName("华文新魏");
  list.SetFontSize(14.25);
  list.SetToolTipText("双击后发送你想说的话");
  list.SetBackColor(0x1E3C28);
  list.SetForeColor(0xC0FFFF);
}

void PlaceOverTable(const Client& client, HuifuForm& window) {
  const MainForm& f = client.main_form;
  if (client.data.ScaleX >= 1.0f) {
    window.SetTop(f.Top() + f.Pic1.Top() + 0.66 * f.Pic1.Height());
    window.SetLeft(f.Left() + f.Pic1.Left() + 0.30 * f.Pic1.Width());
  } else {
    window.SetTop(f.Top() + f.Pic1.Top() + 0.60 * f.Height());
    window.SetLeft(f.Left() + f.Pic1.Left() + 0.27 * f.Width());
  }
}

// The list shown before the other hides, so keys on the hidden one pass to it.
void ShowList(HuifuForm& window, int list) {
  ListBox& shown = list == 1 ? window.List1 : window.List2;
  ListBox& hidden = list == 1 ? window.List2 : window.List1;
  shown.SetVisible(true);
  hidden.SetVisible(false);
}

void OpenPhrases(Client& client, int list) {
  if (client.Talk.Loaded() && client.Talk.Visible()) client.Talk.Hide();
  HuifuForm& window = client.huifu;
  window.Load();
  if (window.Visible()) {
    ListBox& own = list == 1 ? window.List1 : window.List2;
    if (own.Visible())
      window.Hide();
    else
      ShowList(window, list);
    return;
  }
  // Shown as a topmost window; only the second list's button activates it.
  // The list first: showing the window gives the keys to the shown one.
  ShowList(window, list);
  if (list == 2)
    window.Show();
  else
    window.ShowInactive();
  window.SetTopmost(true);
  PlaceOverTable(client, window);
  if (list == 2) window.Activate();
}

// Sends phrase `index` (0-based) of a list; returns its 1-based number, or 0
// when nothing went out.
int SendPhrase(Client& client, const ListBox& list, GameMessage m) {
  Data& d = client.data;
  const int index = list.ListIndex();
  // A spectator speaks for nobody: the seat and name are the watched player's.
  // An empty entry still goes out, as the name alone.
  if (index < 0 || d.WatchMode) return 0;
  const std::string phrase = list.List(index);
  std::string typed = client.main_form.Chat.Text();
  if (CutPrefix(typed, d.PrivateChatPrefix)) {
    m.value[1] = d.PrivateChatSeat;
    d.ChatText = PrivateLine(client, phrase);
  } else {
    d.ChatText = PublicLine(client, phrase);
  }
  client.main_form.Chat.SetText("");
  d.PrivateChatPrefix.clear();
  Send_MSG(client, m);
  return index + 1;
}

void ClosePhrases(Client& client) {
  client.huifu.Hide();
  client.main_form.SetFocus(&client.main_form.Chat);
}

GameMessage PhraseMessage(const Client& client) {
  GameMessage m;
  m.cmd = Cmd_Chat;
  m.seat = client.custom[0].SeatWind;
  return m;
}

}  // namespace

HuifuForm::HuifuForm(Forms& forms) : Form(forms) {
  SetCaption("短语");
  Move(0, 0, 4785, 2700);
  Background.SetStretch(true);
  Background.Move(0, 0, 4785, 2700);
  Background.SetPicture(DecodePicture(NamedAssetBytes("huifu_back")));
  StyleList(List1);
  StyleList(List2);
}

int PhraseCount(const std::string& value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  long long n = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    n = n * 10 + (value[i] - '0');
    if (n > 32768) n = 32768;
  }
  n = negative ? -n : n;
  return static_cast<int>(std::clamp<long long>(n, -32768, 32767));
}

std::vector<std::string> ReadPhraseList(const IniSnapshot& ini, const char* section) {
  const auto values = ini.SectionValues(section);
  auto value = [&](const std::string& key) {
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  };
  std::vector<std::string> phrases;
  const int n = PhraseCount(value("num"));
  for (int i = 1; i <= n; ++i) phrases.push_back(value(std::to_string(i)));
  return phrases;
}

void ConnectHuifu(Client& client) {
  HuifuForm& window = client.huifu;
  window.OnLoad = [&client] { Huifu_Load(client); };
  window.List1.DblClick = [&client] { List1_DblClick(client); };
  window.List2.DblClick = [&client] { List2_DblClick(client); };
  MainForm& f = client.main_form;
  f.imgword1.MouseMove = [&client](int, int, double, double) {
    imgword1_MouseMove(client, client.main_form.imgword1);
  };
  f.imgword2.MouseMove = [&client](int, int, double, double) {
    imgword2_MouseMove(client, client.main_form.imgword2);
  };
}

void Huifu_Load(Client& client) {
  HuifuForm& window = client.huifu;
  window.SetAlpha(kTranslucent);
  const IniSnapshot ini(ProgramFolderOf(client) + "/chat.ini");
  if (!ini.Read()) return;
  for (const auto& phrase : ReadPhraseList(ini, "Phrase1")) window.List1.AddItem(phrase);
  for (const auto& phrase : ReadPhraseList(ini, "Phrase2")) window.List2.AddItem(phrase);
}

void imgword1_Click(Client& client) {
  OpenPhrases(client, 1);
}

void imgword2_Click(Client& client) {
  OpenPhrases(client, 2);
}

void imgword1_MouseMove(Client& client, ImageControl& button) {
  if (client.chat.imgword1Hovered) return;
  client.chat.imgword1Hovered = true;
  LoadGifResource(client, kHoverPicture1, "GIF", button);
}

void imgword2_MouseMove(Client& client, ImageControl& button) {
  if (client.chat.imgword2Hovered) return;
  client.chat.imgword2Hovered = true;
  LoadGifResource(client, kHoverPicture2, "GIF", button);
}

void List1_DblClick(Client& client) {
  SendPhrase(client, client.huifu.List1, PhraseMessage(client));
  ClosePhrases(client);
}

void List2_DblClick(Client& client) {
  GameMessage m = PhraseMessage(client);
  m.value[0] = 2;
  m.value[2] = kPhraseVoiceMark;
  m.value[3] = static_cast<int16_t>(client.huifu.List2.ListIndex() + 1);
  const int number = SendPhrase(client, client.huifu.List2, m);
  if (number > 0) {
    // The player's own click: the voice plays even with sound effects off.
    StopSound(client);
    const std::string file = VoicePath(client, 0, "a" + std::to_string(number) + ".wav");
    if (!file.empty()) PlaySoundFile(client, file, false);
    SetSoundVolume(client, 3000);
  }
  ClosePhrases(client);
}

std::string QuickPhrase(Client& client, int list, int number) {
  client.huifu.Load();
  const ListBox& box = list == 1 ? client.huifu.List1 : client.huifu.List2;
  if (list != 1 && list != 2) return "";
  return box.List(number - 1);
}

}  // namespace slvn
