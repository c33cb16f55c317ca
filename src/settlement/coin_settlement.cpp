#include "settlement/coin_settlement.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "chat/chat_state.h"
#include "chat/chat_text.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "settlement/score_sheet.h"
#include "shell/client.h"
#include "shell/general.h"
#include "ui/amount_text.h"

namespace slvn {

namespace {

constexpr int kSeats = 4;
constexpr int kWidthPerByte = 14;
constexpr int kLineHeight = 30;
constexpr int kShortHeight = 50;  // two lines or fewer
constexpr int kUnitBytes = 4;     // "金币" and the margins
constexpr double kTallyFontSize = 12;
constexpr uint32_t kTallyColor = 0x00FFFF;  // yellow
constexpr int16_t kHistoryWidth = 44;
constexpr const char* kUnit = "金币";
constexpr const char* kLineBreak = "\r\n";

double ItemCoins(const PropState& prop, int seat) {
  const size_t i = static_cast<size_t>(seat);
  return i < prop.ScoreInfoAmounts.size() ? prop.ScoreInfoAmounts[i] : 0;
}

// BoxTexts(kind, seat): 0 the seat's name line, 1 its tally lines.
std::string BoxText(const PropState& prop, int kind, int seat) {
  const auto& texts = prop.ScoreInfoTexts;
  const size_t k = static_cast<size_t>(kind), i = static_cast<size_t>(seat);
  return k < texts.size() && i < texts[k].size() ? texts[k][i] : std::string();
}

std::string TallyLine(const CoinTally& tally, int seat, double amount) {
  return tally.CoinNames[seat] + PadRight(FormatAmount(amount), tally.AmountWidth) + kUnit;
}

void Append(std::string& text, const std::string& line) {
  if (!text.empty()) text += kLineBreak;
  text += line;
}

void ShowTally(Client& client, const std::string& text) {
  Label& label = client.main_form.LbProp;
  label.SetCaption(text);
  label.ZOrder(0);
}

void PrepareTally(Client& client) {
  const PropState& prop = client.prop;
  CoinTally& tally = client.tally;
  const int steps = std::max<int32_t>(1, prop.BoxSteps);
  tally.CoinStep = {};
  tally.CoinShown = {};
  tally.NameWidth = 0;
  double largest = 0;
  int lines = 0, widest_part = 0;
  for (int seat = 0; seat < kSeats; ++seat) {
    tally.CoinNames[seat] = BoxText(prop, 0, seat);
    tally.NameWidth = std::max(tally.NameWidth, AnsiByteLength(tally.CoinNames[seat]));
    const double coins = ItemCoins(prop, seat);
    if (coins > 0) {
      largest = std::max(largest, coins);
      tally.CoinStep[seat] = coins / steps;
      lines += 2;
    }
    const std::string parts = BoxText(prop, 1, seat);
    if (parts.empty()) continue;
    for (const std::string& part : SplitItemText(parts)) {
      ++lines;
      widest_part = std::max(widest_part, AnsiByteLength(part));
    }
  }
  tally.AmountWidth = largest > 0 ? static_cast<int>(FormatAmount(largest).size()) : 1;
  const int height = lines <= 2 ? kShortHeight : lines * kLineHeight;
  const int columns = tally.AmountWidth + tally.NameWidth;
  const int width = (std::max(columns, widest_part) + kUnitBytes) * kWidthPerByte;
  Label& label = client.main_form.LbProp;
  label.SetCaption("");
  label.Move(prop.Box.BoxPromptPos[0] - width / 2.0, prop.Box.BoxPromptPos[1], width, height);
  label.SetAlignment(kAlignCenter);
  label.SetFontSize(kTallyFontSize);
  label.SetForeColor(kTallyColor);
  label.SetVisible(true);
  label.ZOrder(0);
}

void CountingFrame(Client& client) {
  const PropState& prop = client.prop;
  CoinTally& tally = client.tally;
  std::string text;
  for (int seat = 0; seat < kSeats; ++seat) {
    if (ItemCoins(prop, seat) == 0) continue;
    Append(text, TallyLine(tally, seat, std::nearbyint(tally.CoinShown[seat])));
    tally.CoinShown[seat] += tally.CoinStep[seat];
  }
  ShowTally(client, text);
}

void FinalFrame(Client& client) {
  const PropState& prop = client.prop;
  ChatState& chat = client.chat;
  std::string text;
  auto add = [&](const std::string& line) {
    Append(text, line);
    AddWrappedLines(chat.Text1, line, kHistoryWidth);
    if (!chat.Text1.empty()) chat.Text1TopIndex = static_cast<int>(chat.Text1.size()) - 1;
  };
  for (int seat = 0; seat < kSeats; ++seat) {
    const double coins = ItemCoins(prop, seat);
    if (coins != 0) add(TallyLine(client.tally, seat, coins));
    const std::string parts = BoxText(prop, 1, seat);
    if (parts.empty()) continue;
    for (const std::string& part : SplitItemText(parts)) add(part);
  }
  PutSysmsgLine(client, text);
  ShowTally(client, text);
}

}  // namespace

void ShowCoinSettlement(Client& client, int16_t step) {
  if (step == -1)
    PrepareTally(client);
  else if (step < client.prop.BoxSteps)
    CountingFrame(client);
  else
    FinalFrame(client);
}

void ClearCoinNames(Client& client) {
  client.tally.CoinNames = {};
}

}  // namespace slvn
