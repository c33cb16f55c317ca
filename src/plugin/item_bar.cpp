#include "plugin/item_bar.h"

#include "chat/chat_state.h"
#include "chat/chat_text.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "plugin/treasure_boxes.h"
#include "settlement/coin_settlement.h"
#include "shell/client.h"
#include "shell/resources/image_resource.h"

namespace slvn {

namespace {

constexpr int16_t kHistoryWidth = 44;
constexpr size_t kStripCharacters = 45;
constexpr int kBankPicture = 451;

void HideItemLabel(Label& label) {
  label.SetCaption("");
  label.SetVisible(false);
}

}  // namespace

void PrepareItemControls(Client& client) {
  MainForm& f = client.main_form;
  f.Bank.SetVisible(true);
  f.Bank.ZOrder(0);
  f.SetKeyPreview(true);
  ClearCoinNames(client);
}

void LoadBoxPictures(Client& client, int count) {
  ControlArray<ImageControl>& boxes = client.main_form.ImgProp;
  boxes[0].SetStretch(true);
  for (int i = 0; i < count; ++i) {
    if (i > 0) boxes.Load(i);
    if (!boxes.Exists(i)) continue;
    boxes[i].SetVisible(false);
    boxes[i].SetEnabled(false);
  }
}

void UnloadItemControls(Client& client) {
  MainForm& f = client.main_form;
  for (int i = 1; i < f.ImgProp.Count(); ++i) f.ImgProp.Unload(i);
  f.ImgProp[0].SetVisible(false);
  f.ImgProp[0].SetEnabled(false);
  HideItemLabel(f.LbProp);
}

void SetItemLabel(Client& client, const std::string& caption) {
  client.main_form.LbProp.SetCaption(caption);
}

void AddItemMessage(Client& client, const std::string& text) {
  ChatState& chat = client.chat;
  AddWrappedLines(chat.Text1, text, kHistoryWidth);
  if (!chat.Text1.empty()) chat.Text1TopIndex = static_cast<int>(chat.Text1.size()) - 1;
  PutSysmsgLine(client, CharLeft(text, kStripCharacters));
}

void ShowItemEffect(Client& client, const std::string& text, const std::vector<int32_t>& layout,
                    const std::vector<int32_t>& params) {
  if (layout.size() != 4) return;
  PropState& prop = client.prop;
  Label& label = client.main_form.LbProp;
  label.SetVisible(false);
  label.Move(layout[2], layout[3], layout[0], layout[1]);
  // A param the plug-in left out keeps the label's property as it is.
  if (params.size() > 2) label.SetFontSize(params[2]);
  if (params.size() > 3) label.SetForeColor(static_cast<uint32_t>(params[3]) & 0xFFFFFF);
  if (params.size() > 4 && params[4] >= kAlignLeft && params[4] <= kAlignCenter)
    label.SetAlignment(params[4]);
  label.SetCaption(text);
  label.SetVisible(true);
  label.ZOrder(0);
  if (params.size() < 5 || params[0] <= 0 || params[1] <= 0) return;
  Timer& timer = client.main_form.TimerProp;
  timer.SetInterval(params[0]);
  prop.EffectDuration = params[1];
  prop.EffectTicks = 0;
  prop.EffectShown = true;
  timer.SetEnabled(true);
}

void ClearItemBar(Client& client) {
  PropState& prop = client.prop;
  if (prop.ItemBarCleared) return;
  prop.ItemBarCleared = true;
  MainForm& f = client.main_form;
  for (int i = 0; i < f.ImgProp.Count(); ++i) {
    if (!f.ImgProp.Exists(i)) continue;
    ImageControl& box = f.ImgProp[i];
    if (!box.Visible() && !box.Enabled()) continue;
    box.SetVisible(false);
    box.SetEnabled(false);
  }
  if (f.LbProp.Visible()) HideItemLabel(f.LbProp);
  if (prop.Prop_GameDllState > 0) InitShowNext(client, true);
  prop.ScoreInfoNames.clear();
  prop.ScoreInfoAmounts.clear();
}

void TimerProp_Timer(Client& client) {
  PropState& prop = client.prop;
  Timer& timer = client.main_form.TimerProp;
  timer.SetEnabled(false);
  if (prop.EffectShown && !prop.BoxOpening) {
    if (++prop.EffectTicks == prop.EffectDuration) {
      HideItemLabel(client.main_form.LbProp);
      prop.EffectTicks = 0;
      prop.EffectShown = false;
      return;
    }
  }
  if (prop.BoxOpening) {
    BoxOpeningStep(client);
    return;
  }
  timer.SetEnabled(true);
}

void Bank_Click(Client& client) {
  if (client.prop.Prop_GameDllState > 0) setbankstate(client, 0);
}

void Bank_MouseMove(Client& client) {
  if (client.prop.BankHovered) return;
  LoadGifResource(client, kBankPicture, "GIF", client.main_form.Bank);
  client.prop.BankHovered = true;
}

void WireItemControls(Client& client) {
  MainForm& f = client.main_form;
  f.TimerProp.SetHandler([&client] { TimerProp_Timer(client); });
  f.Bank.Click = [&client] { Bank_Click(client); };
  f.Bank.MouseMove = [&client](int, int, double, double) { Bank_MouseMove(client); };
  f.ImgProp.Click = [&client](int index) { ImgProp_Click(client, index); };
}

}  // namespace slvn
