#include "chat/chat_line.h"

#include "chat/talk.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"

namespace slvn {

namespace {

constexpr int kEnter = 13;
constexpr int kBackspace = 8;
constexpr size_t kHistoryLimit = 100;

std::string TrimSpaces(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The number of characters of a UTF-8 text.
int CharCount(std::string_view s) {
  int n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string DropFirstChar(const std::string& s) {
  size_t i = s.empty() ? 0 : 1;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return s.substr(i);
}

GameMessage ChatMessage(const Client& client) {
  GameMessage m;
  m.cmd = Cmd_Chat;
  m.seat = client.custom[0].SeatWind;
  return m;
}

// The line of the chat box goes out; false when there was nothing to send.
bool SendChatBox(Client& client) {
  Data& d = client.data;
  GameMessage m = ChatMessage(client);
  std::string text = client.main_form.Chat.Text();
  if (text.empty() || TrimSpaces(text) == d.PrivateChatPrefix) return false;
  if (CutPrefix(text, d.PrivateChatPrefix)) {
    m.value[1] = d.PrivateChatSeat;
    d.ChatText = PrivateLine(client, text);
  } else {
    d.ChatText = PublicLine(client, text);
  }
  d.PrivateChatPrefix.clear();
  client.main_form.Chat.SetText("");
  Send_MSG(client, m);
  return true;
}

void AddTooFastWarning(Client& client) {
  client.chat.Text1.push_back("（发送消息太快！）");
  client.main_form.Chat.SetText("");
  ScrollHistoryToEnd(client);
}

// Enter's sending: through the flood gate, else the line is dropped with a
// warning in the history.
void SendTypedLine(Client& client) {
  Data& d = client.data;
  if (d.WatchMode) return;
  if (d.ChatGate) {
    d.ChatGate = false;
    client.main_form.TimerChat.SetEnabled(true);
    SendChatBox(client);
  } else if (!client.main_form.Chat.Text().empty()) {
    AddTooFastWarning(client);
  }
}

}  // namespace

bool CutPrefix(std::string& text, const std::string& prefix) {
  if (prefix.empty()) return false;
  size_t at = text.find(prefix);
  if (at == std::string::npos) return false;
  text.erase(at, prefix.size());
  return true;
}

std::string PrivateLine(const Client& client, const std::string& text) {
  return client.Detail[0].name + DropFirstChar(client.data.PrivateChatPrefix) + text;
}

std::string PublicLine(const Client& client, const std::string& text) {
  return client.Detail[0].name + "说道: " + text;
}

void SendChatButtonLine(Client& client) {
  if (!client.data.WatchMode) SendChatBox(client);
}

void Chat_KeyPress(Client& client, int& key_ascii) {
  SeedRandom(client);
  if (client.chat.Text1.size() > kHistoryLimit) {
    client.chat.Text1.clear();
    client.chat.Text1TopIndex = 0;
    SyncTalkList(client);
  }
  if (key_ascii == kEnter) {
    SendTypedLine(client);
    return;
  }
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (key_ascii != kBackspace || d.PrivateChatPrefix.empty()) return;
  f.BackspaceSavedText = f.Chat.Text();
  size_t at = f.BackspaceSavedText.find(d.PrivateChatPrefix);
  if (at == std::string::npos) return;
  // Armed when the selection starts inside the prefix or right after it
  // (counted from where the prefix stands). Not by a Backspace that deletes
  // only what stands before the prefix, nor by one that deletes nothing (the
  // caret at the start, nothing selected): no change follows it, and the
  // next edit of the box would be dropped.
  const int first = CharCount(std::string_view(f.BackspaceSavedText).substr(0, at));
  const int start = f.Chat.SelStart();
  const bool before_prefix = f.Chat.SelLength() == 0 ? start <= first : start < first;
  if (!before_prefix && start <= first + CharCount(d.PrivateChatPrefix))
    f.PrefixErasePending = true;
}

void Chat_Change(Client& client) {
  MainForm& f = client.main_form;
  if (!f.PrefixErasePending) return;
  f.PrefixErasePending = false;
  Data& d = client.data;
  std::string text = f.BackspaceSavedText;
  CutPrefix(text, d.PrivateChatPrefix);
  d.PrivateChatPrefix.clear();
  d.PrivateChatSeat = 0;
  f.Chat.SetText(text);
  f.Chat.SetSelStart(CharCount(text));
}

void Tou_Click(Client& client, int seat) {
  Data& d = client.data;
  if (!d.LoggedIn || seat <= 0 || seat >= kSeatCount) return;
  const std::string& name = client.Detail[static_cast<size_t>(seat)].name;
  if (name.empty()) return;
  MainForm& f = client.main_form;
  std::string kept = f.Chat.Text();
  CutPrefix(kept, d.PrivateChatPrefix);
  d.PrivateChatSeat = client.custom[static_cast<size_t>(seat)].SeatWind;
  d.PrivateChatPrefix = "你对" + name + "说:";
  std::string text = d.PrivateChatPrefix + kept;
  f.Chat.SetText(text);
  f.Chat.SetSelStart(CharCount(text));
  f.SetFocus(&f.Chat);
}

void TimerChat_Timer(Client& client) {
  client.main_form.TimerChat.SetEnabled(false);
  client.data.ChatGate = true;
}

void ConnectChatLine(Client& client) {
  MainForm& f = client.main_form;
  f.TimerChat.SetInterval(800);
  f.TimerChat.SetHandler([&client] { TimerChat_Timer(client); });
  f.Chat.KeyPress = [&client](int& key) { Chat_KeyPress(client, key); };
  f.Chat.Change = [&client] { Chat_Change(client); };
  f.Tou.Click = [&client](int seat) { Tou_Click(client, seat); };
}

}  // namespace slvn
