#include <gtest/gtest.h>

#include <algorithm>

#include "platform/input.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "support/drive.h"
#include "support/fake_video.h"
#include "support/lobby_fixture.h"
#include "support/one_shot_server.h"
#include "support/table_layout.h"
#include "ui/button_bar.h"
#include "ui/pointer_feedback.h"
#include "ui/settings_dialog.h"
#include "ui/web_panes.h"

namespace slvn {
namespace {

class ButtonBarTest : public test::LobbyFixture {
 protected:
  ButtonBarTest() {
    test::LayOutTable(client, 1.0f);
    client.data.LobbyTitle = test::kLobbyTitle;
    client.custom[0].SeatWind = 2;
    auto opener = std::make_unique<RecordingUrlOpener>();
    urls = opener.get();
    client.url_opener = std::move(opener);
  }

  std::vector<int16_t> SentCommands() {
    std::vector<int16_t> commands;
    GamePacket p;
    while (client.net.SendRing.TakePacket(p)) commands.push_back(p.Range(3, 1)[0]);
    return commands;
  }
  const Picture& Shown(int button) { return client.main_form.AnNiu[button].Picture(); }
  Picture Entry(int entry) {
    ImageControl probe(&client.main_form.Pic1);
    LoadGifResource(client, client.images.ButtonPics[static_cast<size_t>(entry)], "GIF", probe);
    return probe.Picture();
  }

  RecordingUrlOpener* urls = nullptr;
  Data& d = client.data;
  MainForm& f = client.main_form;
};

TEST_F(ButtonBarTest, HoverLoadsOnceAndTheTableTurnsEveryHoverStateOff) {
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  for (int i = 0; i < 9; ++i) AnNiu_MouseMove(client, i);
  EXPECT_EQ(Shown(2), Entry(7));
  EXPECT_EQ(Shown(8), Entry(19));
  f.AnNiu[8].SetPicture(nullptr);
  AnNiu_MouseMove(client, 8);  // still hovered: nothing loads
  EXPECT_EQ(Shown(8), nullptr);
  AnNiu_MouseMove(client, 9);

  img_piaoOpt_MouseMove(client, 1);
  EXPECT_EQ(d.PiaoOptGif[1], 434);
  client.prop.BankHovered = true;
  client.prop.VideoPopupSeat = 4;
  client.prop.VideoPopupAsked = true;
  client.Information.Show();
  Pic1_MouseMove(client, 1, 1);
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(d.AnNiuHover[i]) << i;
  EXPECT_EQ(Shown(2), Entry(6));  // "continue"
  EXPECT_EQ(Shown(3), Entry(8));
  EXPECT_EQ(d.PiaoOptGif, (std::array<int16_t, 4>{431, 433, 435, 437}));
  EXPECT_FALSE(client.prop.BankHovered);
  EXPECT_FALSE(client.prop.VideoPopupAsked);
  EXPECT_EQ(client.prop.VideoPopupSeat, 0);
  EXPECT_NE(std::find(plugin.calls.begin(), plugin.calls.end(), "ShowCvVideo 3 close"),
            plugin.calls.end());
  EXPECT_FALSE(client.Information.Visible());
}

TEST_F(ButtonBarTest, BadgeTooltipsFollowTheCaptionsWhileTheirSwitchIsOn) {
  f.lblDifen.SetCaption("7");
  f.lbwealth.SetCaption("3");
  imgBeishu_MouseMove(client);
  Imgwealth_MouseMove(client);
  EXPECT_EQ(f.imgBeishu.ToolTipText(), "");
  d.DiceDoubling = 1;
  d.WealthMultiplier = 3;
  lblDifen_MouseMove(client);
  lbwealth_MouseMove(client);
  EXPECT_EQ(f.imgBeishu.ToolTipText(), "骰子加倍 ×7");
  EXPECT_EQ(f.lblDifen.ToolTipText(), "骰子加倍 ×7");
  EXPECT_EQ(f.Imgwealth.ToolTipText(), "财富加倍 ×3");
  EXPECT_EQ(f.lbwealth.ToolTipText(), "财富加倍 ×3");
}

TEST_F(ButtonBarTest, StartSendsOneReadyAndTheSeatChangeScreenNeedsBothFlags) {
  for (auto [freed, reseat] : {std::pair{true, false}, {false, true}, {true, true}}) {
    SCOPED_TRACE(std::to_string(freed) + std::to_string(reseat));
    d.AnNiuState[2] = false;
    d.SeatChangePending = freed;
    d.ReseatRequested = reseat;
    f.ImgShuffle.SetVisible(false);
    AnNiu_Click(client, 2);
    AnNiu_Click(client, 2);
    EXPECT_EQ(SentCommands(), std::vector<int16_t>{16});
    EXPECT_TRUE(d.AnNiuState[2]);
    EXPECT_TRUE(f.OK[0].Visible());
    EXPECT_EQ(Shown(2), Entry(6));
    EXPECT_EQ(f.ImgShuffle.Visible(), freed && reseat);
  }
}

// Clicks on the send button, as the mouse brings them: each one sends the
// line, however quickly they follow; a spectator sends nothing.
TEST_F(ButtonBarTest, EveryClickOnTheSendButtonSendsTheLine) {
  client.Detail[0].name = "me";
  d.ChatGate = true;
  const ImageControl& send = f.AnNiu[0];
  const int px = static_cast<int>(f.Pic1.Left() / 15 + send.Left() + send.Width() / 2);
  const int py = static_cast<int>(f.Pic1.Top() / 15 + send.Top() + send.Height() / 2);
  auto click = [&](const std::string& line) {
    f.Chat.SetText(line);
    DeliverMouse(f, MouseAction::kDown, kLeftButton, 0, px, py);
    DeliverMouse(f, MouseAction::kUp, kLeftButton, 0, px, py);
  };
  for (const char* line : {"one", "two", "three"}) click(line);
  EXPECT_EQ(SentCommands(), (std::vector<int16_t>{19, 19, 19}));
  EXPECT_TRUE(client.chat.Text1.empty());  // no warning of lines sent too fast
  EXPECT_EQ(f.Chat.Text(), "");
  d.WatchMode = true;
  click("four");
  EXPECT_TRUE(SentCommands().empty());
  EXPECT_EQ(f.Chat.Text(), "four");
}

TEST_F(ButtonBarTest, StartAfterTheGameEndedGoesBackToTheLobbyOrEnds) {
  d.GameOver = true;
  AnNiu_Click(client, 2);
  EXPECT_TRUE(SentCommands().empty());
  EXPECT_EQ(f.WindowState(), kMinimized);
  lobby->WaitForMessages(1);
  EXPECT_TRUE(LobbyGot(kWmSysCommand, kScRestore));
  lobby.reset();
  EXPECT_THROW(AnNiu_Click(client, 2), ProgramEnded);
}

TEST_F(ButtonBarTest, WindowsToggleAndTheRulesOpenTheInformationPage) {
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  AnNiu_Click(client, 3);
  EXPECT_TRUE(client.VosSet.Visible());
  EXPECT_DOUBLE_EQ(client.VosSet.Left(),
                   f.Left() + f.Pic1.Left() + f.Pic1.Width() - 1.1 * client.VosSet.Width());
  AnNiu_Click(client, 3);
  EXPECT_FALSE(client.VosSet.Visible());
  EXPECT_EQ(std::count(plugin.calls.begin(), plugin.calls.end(), "setbankstate"), 2);
  AnNiu_Click(client, 1);
  EXPECT_TRUE(client.Talk.Visible());
  AnNiu_Click(client, 1);
  EXPECT_FALSE(client.Talk.Visible());

  client.shell.launch.GameServerHost = "game.example";
  AnNiu_Click(client, 7);
  EXPECT_EQ(urls->opened, std::vector<std::string>{"http://game.example/gameinfo/slvn/index.php"});

  // The exit dialog's warning follows the hand at every showing.
  d.HandRunning = true;
  AnNiu_Click(client, 8);
  EXPECT_TRUE(client.frmExit.Label2.Visible());
  AnNiu_Click(client, 8);
  d.HandRunning = false;
  AnNiu_Click(client, 8);
  EXPECT_FALSE(client.frmExit.Label2.Visible());
}

class SettingsTest : public ButtonBarTest {
 protected:
  SettingsTest() {
    client.video = test::MakeRecordingVideoControls(video);
    client.custom[0].name = "me";
    plugin = &test::InstallInProcessPlugin(client);
    client.prop.Prop_GameDllState = 1;
    client.VosSet.Load();
  }
  std::vector<std::string> RecStates() {
    std::vector<std::string> out;
    for (const auto& call : plugin->calls)
      if (call.starts_with("rec_state")) out.push_back(call);
    return out;
  }
  const Picture& Button(int i) { return client.VosSet.Command2[i].Picture(); }
  Picture Dialog(int entry) {
    ImageControl probe(&client.main_form.Pic1);
    LoadGifResource(client, client.images.DialogButtonPics[static_cast<size_t>(entry)], "GIF",
                    probe);
    return probe.Picture();
  }

  test::VideoCallLog video;
  test::TestPropPlugin* plugin = nullptr;
};

TEST_F(SettingsTest, CancelUndoesTheSoundSwitchesAndTellsThePlugIn) {
  EXPECT_EQ(Button(0), Dialog(4));  // music on: the button offers "off"
  Command2_Click(client, 0);
  EXPECT_EQ(client.sound.MusicOn, 0);
  EXPECT_EQ(Button(0), Dialog(5));
  Command2_Click(client, 2);
  Command2_Click(client, 2);
  Command2_Click(client, 1);
  EXPECT_EQ(RecStates(), (std::vector<std::string>{"rec_state 1 off", "rec_state 1 on"}));
  Command1_Click(client, 1);
  EXPECT_FALSE(client.VosSet.Visible());
  EXPECT_EQ(client.sound.MusicOn, -1);
  EXPECT_EQ(client.sound.SystemSoundOn, -1);
  EXPECT_EQ(client.sound.SoundOn, -1);
  EXPECT_EQ(Button(0), Dialog(4));
  EXPECT_EQ(RecStates().size(), 2u);  // switched twice: nothing to undo

  Command2_Click(client, 2);
  Command1_Click(client, 1);
  EXPECT_EQ(client.sound.SoundOn, -1);
  EXPECT_EQ(RecStates().back(), "rec_state 1 on");  // the undo is told too
  Command2_Click(client, 2);
  Command1_Click(client, 0);  // OK keeps it
  EXPECT_EQ(client.sound.SoundOn, 0);
}

// The picture offers the other choice: Mandarin while the own details name a
// local dialect, the local dialect once the male voices speak Mandarin.
TEST_F(SettingsTest, TheDialectSwitchOffersTheOtherChoiceAtEachClick) {
  for (const char* dialect : {"07", "00"}) {
    SCOPED_TRACE(dialect);
    for (int seat = 0; seat < 4; ++seat) {
      client.Detail[seat].dialect = dialect;
      client.Detail[seat].sex = seat % 2;
      client.Detail[seat].voice = "1" + std::to_string(seat);
      d.SeatVoice[seat] = client.Detail[seat].voice;
    }
    client.VosSet.Unload();
    client.VosSet.Load();
    const bool local = std::string(dialect) != "00";
    EXPECT_EQ(Button(3), Dialog(local ? 6 : 7));
    // A local dialect goes to Mandarin first; Mandarin goes back to the details' voices.
    for (bool mandarin : {local, !local, local}) {
      Command2_Click(client, 3);
      EXPECT_EQ(Button(3), Dialog(mandarin ? 7 : 6));
      for (int seat = 0; seat < 4; ++seat) {
        EXPECT_EQ(client.Detail[seat].dialect, "00");
        EXPECT_EQ(client.Detail[seat].voice,
                  seat % 2 && mandarin ? "30" : "1" + std::to_string(seat));
      }
    }
    Command1_Click(client, 1);  // cancel repeats the click
    EXPECT_EQ(Button(3), Dialog(local ? 6 : 7));
    EXPECT_EQ(client.Detail[1].voice, local ? "11" : "30");
  }
}

TEST_F(SettingsTest, AMissingVideoFileIsOnlyCreatedAndTheNextClickSwitches) {
  const std::string file = dir.File("vidiosetting.ini");
  EXPECT_FALSE(Is_File_Exist(dir.path().string(), "vidiosetting.ini"));
  d.VideoSetting = true;
  d.VideoServerSet = true;
  d.OwnCaptureOn = true;
  f.vcap1.SetVisible(true);
  const Picture offered = Button(4);
  Command2_Click(client, 4);  // no file yet: created with video on, nothing switched
  EXPECT_TRUE(Is_File_Exist(dir.path().string(), "vidiosetting.ini"));
  EXPECT_FALSE(Is_File_Exist(dir.path().string(), "VidioSetting.ini"));
  client.IniFile.INIFileName(file);
  EXPECT_EQ(client.IniFile.GetIniKey("vidiosetting", "vidiovalue"), "1");
  EXPECT_TRUE(d.VideoSetting && d.VideoServerSet && f.vcap1.Visible());
  EXPECT_EQ(Button(4), offered);
  EXPECT_TRUE(video.calls.empty());
  EXPECT_TRUE(RecStates().empty());

  Command2_Click(client, 4);
  EXPECT_EQ(client.IniFile.GetIniKey("vidiosetting", "vidiovalue"), "0");
  EXPECT_FALSE(d.VideoSetting);
  EXPECT_FALSE(d.VideoServerSet);
  EXPECT_TRUE(d.VideoLoggedIn);
  EXPECT_FALSE(f.vcap1.Visible());
  EXPECT_EQ(Button(4), Dialog(5));
  EXPECT_EQ(video.calls, (std::vector<std::string>{"StopCapture", "LogoutServer"}));
  EXPECT_EQ(RecStates(), std::vector<std::string>{"rec_state 2 on"});

  video.calls.clear();
  Command2_Click(client, 4);
  EXPECT_EQ(client.IniFile.GetIniKey("vidiosetting", "vidiovalue"), "1");
  EXPECT_TRUE(d.VideoSetting);
  EXPECT_TRUE(f.vcap1.Visible());
  EXPECT_FALSE(f.Tou[0].Visible());
  EXPECT_EQ(Button(4), Dialog(4));
  EXPECT_EQ(video.calls, (std::vector<std::string>{"LoginServer me", "StartCapture"}));
  Command1_Click(client, 1);  // video is never undone
  EXPECT_TRUE(d.VideoSetting);
}

TEST_F(ButtonBarTest, AFailedFirstPaneStaysHiddenForTheRun) {
  test::OneShotServer page("HTTP/1.0 200 OK\r\n\r\n<title>ad</title>");
  f.WebBrowser1.Navigate(page.Address());
  ASSERT_TRUE(test::Drive(
      client, [&] { return !f.WebBrowser1.Busy(); }, 10));
  EXPECT_TRUE(f.WebBrowser1.Visible());
  EXPECT_DOUBLE_EQ(f.WebBrowser1.Left(), f.Bird.Left() + 2);

  f.WebBrowser1.Navigate(test::RefusedAddress());
  f.WebBrowser2.SetVisible(true);
  f.WebBrowser2.Navigate(test::RefusedAddress());
  ASSERT_TRUE(test::Drive(
      client, [&] { return !f.WebBrowser1.Busy() && !f.WebBrowser2.Busy(); }, 10));
  EXPECT_FALSE(f.WebBrowser1.Visible());
  EXPECT_FALSE(f.WebBrowser2.Visible());
  EXPECT_TRUE(d.WebPageFailed);

  test::OneShotServer again("HTTP/1.0 200 OK\r\n\r\n<title>ad</title>");
  f.WebBrowser1.Navigate(again.Address());
  ASSERT_TRUE(test::Drive(
      client, [&] { return !f.WebBrowser1.Busy(); }, 10));
  EXPECT_FALSE(f.WebBrowser1.Visible());
}

}  // namespace
}  // namespace slvn
