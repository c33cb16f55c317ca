#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "plugin/item_bar.h"
#include "plugin/item_fixture.h"
#include "plugin/prop_bridge.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/item_poll.h"

namespace slvn {
namespace {

using ItemBarTest = test::ItemFixture;

TEST_F(ItemBarTest, ATextLineGoesWholeToTheHistoryAndCutToTheStrip) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "道" + std::to_string(i % 10);  // 60 characters
  AddItemMessage(client, text);
  std::string history;
  for (const std::string& line : client.chat.Text1) history += line.substr(1);  // one blank each
  EXPECT_EQ(history, text);
  EXPECT_GT(client.chat.Text1.size(), 1u);
  EXPECT_EQ(client.chat.Text1TopIndex, static_cast<int>(client.chat.Text1.size()) - 1);
  EXPECT_EQ(client.chat.Sysmsg[0], CharLeft(text, 45));
  EXPECT_EQ(client.main_form.Sysmsg[0].List(0), CharLeft(text, 45));
  AddItemMessage(client, "second");
  EXPECT_EQ(client.chat.Sysmsg[1], "second");
}

TEST_F(ItemBarTest, AnEffectIsPlacedStyledAndHiddenWhenItsTimeIsUp) {
  Label& label = client.main_form.LbProp;
  ShowItemEffect(client, "加倍", {200, 40, 300, 100}, {100, 5, 20, 0x0000FF, 2});
  EXPECT_TRUE(label.Visible());
  EXPECT_EQ(label.Caption(), "加倍");
  EXPECT_DOUBLE_EQ(label.Left(), 300);  // table units, unscaled
  EXPECT_DOUBLE_EQ(label.Top(), 100);
  EXPECT_DOUBLE_EQ(label.Width(), 200);
  EXPECT_DOUBLE_EQ(label.Height(), 40);
  EXPECT_EQ(label.Font().size, 20);
  EXPECT_EQ(label.ForeColor(), 0x0000FFu);
  EXPECT_EQ(label.Alignment(), kAlignCenter);
  RunFor(0.45);
  EXPECT_TRUE(label.Visible());
  RunFor(0.1);  // 5 ticks of 100 ms
  EXPECT_FALSE(label.Visible());
  EXPECT_EQ(label.Caption(), "");
  EXPECT_FALSE(client.main_form.TimerProp.Enabled());

  // A second effect replaces the first and counts its own time from zero.
  ShowItemEffect(client, "one", {10, 10, 0, 0}, {100, 5, 12, 0, 0});
  RunFor(0.3);
  ShowItemEffect(client, "two", {10, 10, 0, 0}, {100, 3, 12, 0x00FF00, 1});
  RunFor(0.25);
  EXPECT_EQ(label.Caption(), "two");
  RunFor(0.1);
  EXPECT_FALSE(label.Visible());

  // Fewer than five params: what is missing stays as it was, no time limit.
  ShowItemEffect(client, "short", {50, 20, 5, 6}, {100, 2, 30});
  EXPECT_EQ(label.Font().size, 30);
  EXPECT_EQ(label.Alignment(), kAlignRight);
  EXPECT_EQ(label.ForeColor(), 0x00FF00u);
  RunFor(5);
  EXPECT_TRUE(label.Visible());
  EXPECT_FALSE(client.main_form.TimerProp.Enabled());
}

TEST_F(ItemBarTest, ClearItemBarActsOncePerHand) {
  MainForm& f = client.main_form;
  f.ImgProp[3].SetVisible(true);
  f.ImgProp[7].SetEnabled(true);
  f.LbProp.SetCaption("x");
  f.LbProp.SetVisible(true);
  client.prop.ScoreInfoAmounts = {5};
  ClearItemBar(client);
  EXPECT_FALSE(f.ImgProp[3].Visible());
  EXPECT_FALSE(f.ImgProp[7].Enabled());
  EXPECT_FALSE(f.LbProp.Visible());
  EXPECT_TRUE(client.prop.ScoreInfoAmounts.empty());
  EXPECT_EQ(Count("InitShowNext true"), 1);

  f.ImgProp[3].SetVisible(true);
  ClearItemBar(client);  // the same hand: nothing
  EXPECT_TRUE(f.ImgProp[3].Visible());
  EXPECT_EQ(Count("InitShowNext true"), 1);
}

TEST_F(ItemBarTest, TheWarehouseButtonAsksThePlugInAndHoversOnce) {
  Bank_Click(client);
  EXPECT_EQ(Count("setbankstate"), 1);
  client.prop.Prop_GameDllState = -1;
  Bank_Click(client);
  EXPECT_EQ(Count("setbankstate"), 1);

  const Picture normal = client.main_form.Bank.Picture();
  Bank_MouseMove(client);
  EXPECT_TRUE(client.prop.BankHovered);
  const Picture hover = client.main_form.Bank.Picture();
  EXPECT_NE(hover, normal);
  client.main_form.Bank.SetPicture(normal);
  Bank_MouseMove(client);  // loaded once until re-armed
  EXPECT_EQ(client.main_form.Bank.Picture(), normal);
}

}  // namespace
}  // namespace slvn
