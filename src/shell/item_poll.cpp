#include "shell/item_poll.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "chat/chat_line.h"
#include "plugin/item_bar.h"
#include "plugin/prop_bridge.h"
#include "plugin/treasure_boxes.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/keys.h"
#include "shell/net/packet_io.h"

namespace slvn {

namespace {

constexpr int kTicksPerSecond = 20;
constexpr double kScoreWaitSeconds = 10;

bool Active(const Client& client) {
  return client.prop.Prop_GameDllState > 0;
}

// The decimal number the text begins with, to the nearest 16-bit integer
// (halves to even); 0 when it begins with none; nothing when it does not fit
// 16 bits, so that a request with such a number is dropped rather than taken
// as 0.
std::optional<int> LeadingNumber(const std::string& text) {
  size_t end = text.find_first_not_of(' ');
  if (end == std::string::npos) return 0;
  const size_t start = end;
  if (text[end] == '+' || text[end] == '-') ++end;
  bool point = false;
  for (; end < text.size(); ++end) {
    if (text[end] == '.' && !point)
      point = true;
    else if (text[end] < '0' || text[end] > '9')
      break;
  }
  const double value = std::strtod(text.substr(start, end - start).c_str(), nullptr);
  if (!(value >= -32768.5 && value < 32767.5)) return std::nullopt;
  return RoundHalfEven(value);
}

void ActOnRequest(Client& client) {
  PropState& prop = client.prop;
  const std::optional<int> number = LeadingNumber(prop.RequestText);
  const int kind = prop.PluginRequestKind;
  if (!number && kind >= 3 && kind <= 5) return;
  const int n = number.value_or(0);
  switch (kind) {
    case 0:
      if (prop.RequestText.empty()) return;
      AddItemMessage(client, prop.RequestText);
      prop.RequestText.clear();
      return;
    case 1:
      if (prop.RequestText.empty() || prop.RequestLayout1.size() != 4) return;
      ShowItemEffect(client, prop.RequestText, prop.RequestLayout1, prop.RequestLayout2);
      prop.RequestText.clear();
      prop.RequestLayout1.clear();
      prop.RequestLayout2.clear();
      return;
    case 2: {
      if (prop.RequestBytes.size() != GamePacket::kSize) return;
      GamePacket packet;
      for (size_t i = 0; i < GamePacket::kSize; ++i) packet.SetByte(i, prop.RequestBytes[i]);
      QueuePacket(client, packet);
      return;
    }
    case 3:
      if (n >= 1 && n <= 3) Tou_Click(client, n);
      return;
    case 4:
      Pic1_KeyDown(client, n, 0);
      return;
    case 5:
      if (n >= 0 && n <= 3) Tou_MouseMove(client, n, 0, 0, 0, 0);
      return;
    default:
      return;
  }
}

// False when the plug-in was shut down meanwhile: the tick ends.
bool TakeRequests(Client& client) {
  PropState& prop = client.prop;
  const int waiting = CheckSendBuff(client);
  for (int i = 0; i < waiting; ++i) {
    prop.PluginRequestKind = -1;
    if (!GetSendBuff(client)) return false;
    ActOnRequest(client);
  }
  return true;
}

// Without the plug-in the client shows the hand's end, and the tick ends.
bool ShowHandEndAlone(Client& client) {
  client.prop.ScoreHandOver = false;
  ShowHandEnd(client);
  return false;
}

// False when the tick ends here.
bool HandOverScore(Client& client) {
  PropState& prop = client.prop;
  prop.StageSheetOwed = false;
  if (!prop.ScoreHandOver) return true;
  if (!Active(client)) return ShowHandEndAlone(client);
  if (!prop.PropScoreReady) {
    prop.ScoreHandOver = false;
    ShowHandEnd(client);
    InitShowNext(client, false);
    return true;
  }
  if (prop.ScoreWaitStart < 0) prop.ScoreWaitStart = client.loop.Now();
  const int answer = GetScoreInfo(client);
  if (!Active(client)) return ShowHandEndAlone(client);  // the plug-in failed
  if (answer != 1) {
    if (client.loop.Now() - prop.ScoreWaitStart < kScoreWaitSeconds) return true;
    // A plug-in that never answers does not hold the hand's end for ever.
    prop.ScoreWaitStart = -1;
    prop.PropScoreReady = false;
    prop.ScoreHandOver = false;
    ShowHandEnd(client);
    InitShowNext(client, false);
    return true;
  }
  prop.ScoreWaitStart = -1;
  prop.PropScoreReady = false;
  prop.ScoreHandOver = false;
  prop.BoxChosen = false;
  if (prop.Prop_GameDllState == 2) {
    PlayTreasureBoxes(client);
  } else {
    ShowHandEnd(client);
    InitShowNext(client, false);
  }
  return true;
}

void BoxCountdown(Client& client) {
  PropState& prop = client.prop;
  if (!prop.BoxCountdownOn) return;
  if (++prop.BoxTicks < kTicksPerSecond) return;
  prop.BoxTicks = 0;
  --prop.BoxSeconds;
  if (prop.BoxChosen) {
    prop.BoxCountdownOn = false;
    return;
  }
  const std::string seconds = "\r\n" + std::to_string(prop.BoxSeconds);
  if (!TakesPart(prop, 0)) {
    SetItemLabel(client, "请等待玩家打开宝箱" + seconds);
    if (prop.BoxSeconds > 2) return;
    prop.BoxCountdownOn = false;
    OpenTreasureBoxes(client, -1);
    return;
  }
  SetItemLabel(client, "请选择一个宝箱打开" + seconds);
  if (prop.BoxSeconds > 0) return;
  prop.BoxCountdownOn = false;
  OpenTreasureBoxes(client, RandomInGroup(prop));
}

}  // namespace

bool ItemPoll(Client& client) {
  if (Active(client) && !TakeRequests(client)) return false;
  if (!HandOverScore(client)) return false;
  BoxCountdown(client);
  return true;
}

}  // namespace slvn
