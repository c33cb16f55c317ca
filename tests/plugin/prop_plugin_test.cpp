#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "plugin/prop_bridge.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/item_poll.h"
#include "support/drive.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

namespace fs = std::filesystem;

// A client logged in whose program folder is `folder`.
void LogIn(Client& client, const fs::path& folder) {
  client.sound.program_folder = folder.string();
  client.data.LoggedIn = true;
  client.data.ScaleY = 1.0f;
  client.shell.launch.LoginName = "alice";
  client.shell.launch.LoginString2 = "key2";
  client.shell.LoginPacket.SetByte(32, 'k');  // not where the plug-in's value comes from
}

// Puts a build of the test plug-in where the client looks for it in `folder`.
void InstallPlugin(const fs::path& folder, const char* library = SLVN_TEST_PROP_PLUGIN) {
  fs::create_directories(folder / "plugin/tools");
  fs::create_symlink(library, folder / kPropPluginPath);
}

test::TestPropPlugin& PluginOf(Client& client) {
  return *static_cast<test::TestPropPlugin*>(PropObject(client));
}

// A client logged in whose program folder holds the test plug-in (or not).
class PropPluginTest : public ::testing::Test {
 protected:
  PropPluginTest() { LogIn(client, dir_.path()); }

  void InstallPlugin() { slvn::InstallPlugin(dir_.path()); }
  test::TestPropPlugin& Plugin() { return PluginOf(client); }
  test::TestPropPlugin& Load(bool boxes = false) {
    InstallPlugin();
    EXPECT_TRUE(InitGameDll(client));
    Plugin().boxes = boxes;
    if (boxes) {
      ShutdownPropPlugin(client, 0);
      EXPECT_TRUE(InitGameDll(client));  // loads again with boxes
    }
    return Plugin();
  }
  size_t Count(const char* call) {
    return static_cast<size_t>(std::count(Plugin().calls.begin(), Plugin().calls.end(), call));
  }
  // Every sheet, won or drawn, adds its hand's line to the hand list.
  int Sheets() const { return client.Hero ? client.Hero->Num.ListCount() : 0; }

  test::TempDir dir_;
  Client client{std::make_unique<ManualClock>()};
};

TEST_F(PropPluginTest, AMissingLibraryOrNoLoginIsNotAvailable) {
  EXPECT_FALSE(InitGameDll(client));
  EXPECT_EQ(client.prop.Prop_GameDllState, -1);
  EXPECT_FALSE(client.prop.PropItemsReady);

  InstallPlugin();
  client.prop.Prop_GameDllState = 0;
  client.data.LoggedIn = false;
  EXPECT_FALSE(InitGameDll(client));
  EXPECT_EQ(client.prop.Prop_GameDllState, -1);
  EXPECT_EQ(PropObject(client), nullptr);
}

TEST_F(PropPluginTest, LoadsShutsDownAndLoadsTheKeptObjectAgain) {
  InstallPlugin();
  ASSERT_TRUE(InitGameDll(client));
  EXPECT_EQ(client.prop.Prop_GameDllState, 1);
  EXPECT_TRUE(client.prop.PropItemsReady);
  test::TestPropPlugin& plugin = Plugin();
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"Initdll", "GetBaoInfo"}));
  EXPECT_EQ(plugin.account, "alice");
  EXPECT_EQ(plugin.login_string2, "key2");
  EXPECT_EQ(plugin.main_window, 0);  // headless: no window to attach to
  EXPECT_EQ(plugin.size_mode, 1);
  EXPECT_EQ(client.prop.Box.BoxTiming[0], 40);
  // The item controls: the warehouse button in front, key preview, 15 box
  // pictures, all hidden and disabled.
  MainForm& f = client.main_form;
  EXPECT_TRUE(f.Bank.Visible());
  EXPECT_TRUE(f.KeyPreview());
  ASSERT_EQ(f.ImgProp.Count(), 15);
  for (int i = 0; i < 15; ++i) {
    ASSERT_TRUE(f.ImgProp.Exists(i));
    EXPECT_FALSE(f.ImgProp[i].Visible() || f.ImgProp[i].Enabled()) << i;
  }

  ShutdownPropPlugin(client, 0);
  EXPECT_EQ(plugin.exit_flag, 0);
  EXPECT_EQ(client.prop.Prop_GameDllState, 0);
  EXPECT_FALSE(client.prop.PropItemsReady);
  EXPECT_FALSE(f.ImgProp.Exists(1));
  EXPECT_FALSE(f.ImgProp[0].Visible() || f.ImgProp[0].Enabled());
  ShutdownPropPlugin(client, 0);  // nothing more while not active
  EXPECT_EQ(Count("InitExit"), 1u);

  // The next table loads the same object again, now with treasure boxes.
  plugin.boxes = true;
  plugin.login_string2_reply = "key2-renewed";
  ASSERT_TRUE(InitGameDll(client));
  EXPECT_EQ(&Plugin(), &plugin);
  EXPECT_EQ(client.prop.Prop_GameDllState, 2);
  EXPECT_EQ(Count("Initdll"), 2u);
  EXPECT_TRUE(f.ImgProp.Exists(14));  // the box pictures made again
  // The second login string is the plug-in's to change: the next load
  // passes what it wrote back.
  EXPECT_EQ(client.shell.launch.LoginString2, "key2-renewed");
  ShutdownPropPlugin(client, 0);
  ASSERT_TRUE(InitGameDll(client));
  EXPECT_EQ(plugin.login_string2, "key2-renewed");

  // A refusing Initdll: state 0 and the object released.
  ShutdownPropPlugin(client, 1);
  EXPECT_EQ(plugin.exit_flag, 1);
  plugin.initdll_answer = false;
  EXPECT_FALSE(InitGameDll(client));
  EXPECT_EQ(client.prop.Prop_GameDllState, 0);
  EXPECT_EQ(PropObject(client), nullptr);
}

// Started from another folder, the client does not run a library planted
// under that folder's plugin/tools/.
TEST_F(PropPluginTest, TheLibraryIsLookedForBesideTheProgramOnly) {
  test::TempDir elsewhere;
  slvn::InstallPlugin(elsewhere.path());
  const fs::path previous = fs::current_path();
  fs::current_path(elsewhere.path());
  const bool loaded = InitGameDll(client);
  fs::current_path(previous);
  EXPECT_FALSE(loaded);
  EXPECT_EQ(client.prop.Prop_GameDllState, -1);
  EXPECT_EQ(PropObject(client), nullptr);

  // A relative program folder would be the current one again.
  client.prop.Prop_GameDllState = 0;
  client.sound.program_folder = ".";
  fs::current_path(elsewhere.path());
  EXPECT_FALSE(InitGameDll(client));
  fs::current_path(previous);
  EXPECT_EQ(PropObject(client), nullptr);
}

// A library built for another version of the interface, or that says no
// version, is not loaded, and standard error says why.
TEST(PropPluginVersion, ALibraryOfAnotherVersionIsNotLoaded) {
  const struct {
    const char* library;
    std::string why;
  } cases[] = {
      {SLVN_TEST_PROP_PLUGIN_OTHER_VERSION,
       "built for version " + std::to_string(kPropPluginVersion + 1)},
      {SLVN_TEST_PROP_PLUGIN_UNVERSIONED, "exports no slvn_PropPluginVersion"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library);
    test::TempDir dir;
    Client client{std::make_unique<ManualClock>()};
    LogIn(client, dir.path());
    InstallPlugin(dir.path(), c.library);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(InitGameDll(client));
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(client.prop.Prop_GameDllState, -1);
    EXPECT_EQ(PropObject(client), nullptr);
    EXPECT_NE(errors.find(c.why), std::string::npos) << errors;
  }
}

// What a member throws shuts the plug-in down for the rest of the run, with
// one line on standard error; the client goes on, and a hand's end that
// waited for the plug-in is shown by the client.
TEST(PropPluginFailure, AThrowingMemberEndsThePlugInForTheRun) {
  const std::pair<const char*, std::function<void(Client&)>> members[] = {
      {"Initdll",
       [](Client& c) {
         ShutdownPropPlugin(c, 0);
         InitGameDll(c);  // the next table's load
       }},
      {"GetBaoInfo",
       [](Client& c) {
         ShutdownPropPlugin(c, 0);
         InitGameDll(c);
       }},
      {"InitExit", [](Client& c) { ShutdownPropPlugin(c, 0); }},
      {"SetUserinfo",
       [](Client& c) { EXPECT_FALSE(SetUserinfo(c, "a", "a", 8, 0, true, 1, "", "")); }},
      {"rec_state", [](Client& c) { rec_state(c, 3, true); }},
      {"Rec_MSG",
       [](Client& c) {
         GamePacket packet;
         Rec_MSG(c, packet);
       }},
      {"ClearUser", [](Client& c) { ClearUser(c, 1); }},
      {"InitShowEnd", [](Client& c) { InitShowEnd(c); }},
      {"Ainit", [](Client& c) { Ainit(c, "newcvp.xml"); }},
      {"InitShowNext", [](Client& c) { InitShowNext(c, true); }},
      {"ShowGif", [](Client& c) { ShowGif(c, 1, true); }},
      {"UpdataMyProp", [](Client& c) { UpdataMyProp(c, false); }},
      {"setbankstate", [](Client& c) { setbankstate(c, 0); }},
      {"SetKeyDown", [](Client& c) { SetKeyDown(c, 112); }},
      {"FixBuffPos", [](Client& c) { FixBuffPos(c); }},
      {"ShowCvVideo", [](Client& c) { EXPECT_FALSE(ShowCvVideo(c, 1, true)); }},
      {"CheckSendBuff", [](Client& c) { ItemPoll(c); }},
      {"GetSendBuff",
       [](Client& c) {
         PluginOf(c).requests = {{0, "a"}, {0, "b"}};
         EXPECT_FALSE(ItemPoll(c));
       }},
      {"GetScoreInfo",
       [](Client& c) {
         c.prop.ScoreHandOver = true;
         c.prop.PropScoreReady = true;
         ItemPoll(c);
         EXPECT_EQ(c.Hero ? c.Hero->Num.ListCount() : 0, 1);  // the sheet came
       }},
  };
  test::TempDir dir;
  InstallPlugin(dir.path());
  for (const auto& [member, call] : members) {
    SCOPED_TRACE(member);
    Client client{std::make_unique<ManualClock>()};
    LogIn(client, dir.path());
    ASSERT_TRUE(InitGameDll(client));
    PluginOf(client).throw_in = member;
    ::testing::internal::CaptureStderr();
    call(client);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(client.prop.Prop_GameDllState, -1);
    EXPECT_EQ(PropObject(client), nullptr);
    EXPECT_FALSE(client.prop.PropItemsReady);
    EXPECT_FALSE(client.main_form.ImgProp.Exists(1));
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(member), std::string::npos) << errors;
    // Nothing is asked of it again, and nothing loads it again.
    EXPECT_TRUE(SetUserinfo(client, "a", "a", 8, 0, true, 1, "", ""));
    EXPECT_TRUE(ItemPoll(client));
    ShutdownPropPlugin(client, 1);
    EXPECT_EQ(client.prop.Prop_GameDllState, -1);
  }
}

// The library's entry point throwing: nothing is loaded.
TEST(PropPluginFailure, AThrowingEntryPointLoadsNothing) {
  test::TempDir dir;
  InstallPlugin(dir.path());
  test::WriteFileBytes(dir.File("script.txt"), "throw slvn_CreatePropPlugin\n");
  setenv("SLVN_PROP_SCRIPT", dir.File("script.txt").c_str(), 1);
  Client client{std::make_unique<ManualClock>()};
  LogIn(client, dir.path());
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(InitGameDll(client));
  const std::string errors = ::testing::internal::GetCapturedStderr();
  unsetenv("SLVN_PROP_SCRIPT");
  EXPECT_EQ(client.prop.Prop_GameDllState, -1);
  EXPECT_EQ(PropObject(client), nullptr);
  EXPECT_NE(errors.find("slvn_CreatePropPlugin"), std::string::npos) << errors;
}

TEST(AnsiByteLength, CountsDoubleByteCharactersTwice) {
  EXPECT_EQ(AnsiByteLength(""), 0);
  EXPECT_EQ(AnsiByteLength("请选择一个宝箱打开"), 18);
  EXPECT_EQ(AnsiByteLength("ab中"), 4);
}

TEST_F(PropPluginTest, EachRequestKindDoesItsActionOrNothing) {
  struct Case {
    const char* name;
    test::PluginRequest request;
    const char* action;  // what the request did, or null
  } cases[] = {
      {"text line", {0, "hello"}, "history"},
      {"empty text line", {0, ""}, nullptr},
      {"item effect", {1, "fx", {}, {1, 2, 3, 4}, {5}}, "label"},
      {"item effect, 3 numbers", {1, "fx", {}, {1, 2, 3}, {}}, nullptr},
      {"packet", {2, "", std::vector<uint8_t>(272, 7)}, nullptr},
      {"avatar click", {3, "2"}, "你对阿二说:"},
      {"avatar click, own seat", {3, "0"}, nullptr},
      {"avatar click, 2.6 is seat 3", {3, "2.6 x"}, "你对阿三说:"},
      {"avatar click, 2.5 is seat 2 (halves to even)", {3, "2.5"}, "你对阿二说:"},
      {"avatar click, 0.5 is the own seat", {3, "0.5"}, nullptr},
      {"player card, -0.5 is the own seat", {5, "-0.5"}, "Tou_MouseMove"},
      {"avatar click, 0x2 is 0", {3, "0x2"}, nullptr},
      {"avatar click, no seat 4", {3, "4"}, nullptr},
      {"key F1: the boss key", {4, "112"}, nullptr},
      {"player card, own seat", {5, "0"}, "Tou_MouseMove"},
      {"player card, no seat 4", {5, "4"}, nullptr},
      {"player card, 65536 is no seat", {5, "65536"}, nullptr},
      {"player card, -40000 is no seat", {5, "-40000"}, nullptr},
      {"avatar click, 65537 is no seat", {3, "65537"}, nullptr},
      {"kind untouched", {0, "hello", {}, {}, {}, false}, nullptr},
      {"unknown kind", {9, "1"}, nullptr},
  };
  test::TestPropPlugin& plugin = Load();
  client.Detail[0].name = "me";
  // The avatar click makes the chat line private to that seat.
  client.data.LoggedIn = true;
  client.Detail[1].name = "阿一";
  client.Detail[2].name = "阿二";
  client.Detail[3].name = "阿三";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    client.Information.Hide();
    client.data.PrivateChatPrefix.clear();
    client.chat.Text1.clear();
    client.main_form.LbProp.SetVisible(false);
    plugin.requests = {c.request};
    ItemPoll(client);
    EXPECT_EQ(Count("GetSendBuff"), 1u);
    plugin.calls.clear();
    const std::pair<const char*, bool> done[] = {
        {"history", !client.chat.Text1.empty()},
        {"label", client.main_form.LbProp.Visible()},
        {"Tou_MouseMove", client.Information.Visible()},  // the player card shows
    };
    for (auto [op, happened] : done)
      EXPECT_EQ(happened, c.action && std::string(c.action) == op) << op;
    const bool avatar = c.action && std::string(c.action).starts_with("你对");
    EXPECT_EQ(client.data.PrivateChatPrefix, avatar ? c.action : "");
    if (c.request.kind == 4) {
      EXPECT_TRUE(client.data.BossKey);  // the table's key handler ran
    }
  }
  // Only a packet of exactly 272 bytes is queued, with the echo token stamped.
  client.net.EchoToken = {1, 2};
  for (size_t size : {271u, 272u, 273u}) {
    plugin.requests = {{2, "", std::vector<uint8_t>(size, 7)}};
    ItemPoll(client);
  }
  ASSERT_EQ(client.net.SendRing.Waiting(), 272 * 2);  // with the one from the table above
  GamePacket sent;
  client.net.SendRing.TakePacket(sent);
  client.net.SendRing.TakePacket(sent);
  EXPECT_EQ(sent.Byte(0), 7);
  EXPECT_EQ(sent.Byte(260), 1);
  EXPECT_EQ(sent.Byte(261), 2);
}

// The picture a request leaves goes back to the plug-in at the next request,
// in the next poll too, until the plug-in puts another.
TEST_F(PropPluginTest, TheRequestPictureIsHandedBackAtTheNextCall) {
  test::TestPropPlugin& plugin = Load();
  const PluginPicture a = {'G', 'I', 'F', 1}, b = {2, 3};
  plugin.requests = {{0, "x"}, {0, "y"}};
  plugin.requests[0].picture = a;
  ItemPoll(client);
  plugin.requests = {{0, "z"}, {0, "w"}};
  plugin.requests[0].picture = b;
  ItemPoll(client);
  EXPECT_EQ(plugin.pictures_given, (std::vector<PluginPicture>{{}, a, a, b}));
}

TEST_F(PropPluginTest, TakesEveryWaitingRequestUnlessShutDownMeanwhile) {
  test::TestPropPlugin& plugin = Load();
  plugin.requests = {{0, "a"}, {0, "b"}, {0, "c"}};
  ItemPoll(client);
  EXPECT_EQ(Count("GetSendBuff"), 3u);

  plugin.calls.clear();
  plugin.requests = {{0, "a"}, {0, "b"}, {0, "c"}};
  plugin.on_get_send_buff = [this] { ShutdownPropPlugin(client, 0); };
  ItemPoll(client);
  EXPECT_EQ(Count("GetSendBuff"), 1u);
  EXPECT_EQ(plugin.requests.size(), 2u);  // the rest stay with the plug-in
}

TEST_F(PropPluginTest, ScoreHandOverWaitsForALateAnswer) {
  test::TestPropPlugin& plugin = Load();
  client.prop.ScoreHandOver = true;
  client.prop.PropScoreReady = true;
  plugin.score_answers = {0, 3};
  ItemPoll(client);
  ItemPoll(client);
  EXPECT_EQ(Sheets(), 0);
  EXPECT_TRUE(client.prop.ScoreHandOver);
  ItemPoll(client);
  EXPECT_EQ(Count("GetScoreInfo"), 3u);
  EXPECT_EQ(Sheets(), 1);
  EXPECT_EQ(Count("InitShowNext false"), 1u);
  EXPECT_FALSE(client.prop.ScoreHandOver);
  EXPECT_FALSE(client.prop.PropScoreReady);
  ItemPoll(client);
  EXPECT_EQ(Count("GetScoreInfo"), 3u);

  // Without command 46 a drawn hand shows its result panel at once.
  client.prop.ScoreHandOver = true;
  client.prop.DrawnHandOver = true;
  ItemPoll(client);
  EXPECT_EQ(Sheets(), 2);
  const ListBox& column = client.Score->State[0];
  EXPECT_EQ(column.List(column.ListCount() - 1), "      黄  庄");
  EXPECT_EQ(Count("InitShowNext false"), 2u);
}

TEST_F(PropPluginTest, WithTreasureBoxesTheScoreStartsTheStage) {
  test::TestPropPlugin& plugin = Load(/*boxes=*/true);
  plugin.score_amounts = {300};
  client.prop.ScoreHandOver = true;
  client.prop.PropScoreReady = true;
  ItemPoll(client);
  EXPECT_TRUE(client.prop.BoxCountdownOn);
  EXPECT_TRUE(client.main_form.ImgProp[0].Visible());
  EXPECT_EQ(Sheets(), 0);
}

TEST_F(PropPluginTest, WithoutAPlugInTheSheetIsShownAndTheTickEnds) {
  client.prop.PropItemsReady = true;
  client.prop.ScoreHandOver = true;
  client.prop.BoxCountdownOn = true;
  ItemPoll(client);
  EXPECT_EQ(Sheets(), 1);
  EXPECT_EQ(client.prop.BoxTicks, 0);  // the countdown waits for the next tick
}

}  // namespace
}  // namespace slvn

namespace slvn {
namespace {

// The script the library version reads for the real program.
TEST(PluginScript, ReadsEachInstructionAndStopsAtABadLine) {
  std::istringstream script(
      "# boxes for the end-to-end run\r\n"
      "boxes 1\n"
      "timing 100 10\n"
      "answers 0 0\n"
      "coins 300 0 0 50\n"
      "item 0 宝箱奖励+300金币|第二行00000255\n"
      "name 3 西家\n"
      "tally 3 +50金币\n"
      "request 0 hello there\n"
      "effect 200 40 300 100 100 5 20 255 2 加倍\n"
      "packet 0 0 0 45\n"
      "throw GetSendBuff\n");
  test::TestPropPlugin plugin;
  ASSERT_TRUE(test::ReadPluginScript(script, plugin));
  EXPECT_TRUE(plugin.boxes);
  EXPECT_EQ(plugin.layout.BoxTiming, (std::array<int16_t, 2>{100, 10}));
  EXPECT_EQ(plugin.score_answers, (std::deque<int16_t>{0, 0}));
  EXPECT_EQ(plugin.score_amounts, (std::vector<double>{300, 0, 0, 50}));
  EXPECT_EQ(plugin.score_names[0], "宝箱奖励+300金币|第二行00000255");
  EXPECT_EQ(plugin.score_texts[0][3], "西家");
  EXPECT_EQ(plugin.score_texts[1][3], "+50金币");
  ASSERT_EQ(plugin.requests.size(), 3u);
  EXPECT_EQ(plugin.requests[0].text, "hello there");
  EXPECT_EQ(plugin.requests[1].kind, 1);
  EXPECT_EQ(plugin.requests[1].layout1, (std::vector<int32_t>{200, 40, 300, 100}));
  EXPECT_EQ(plugin.requests[1].layout2, (std::vector<int32_t>{100, 5, 20, 255, 2}));
  EXPECT_EQ(plugin.requests[1].text, "加倍");
  EXPECT_EQ(plugin.requests[2].bytes.size(), 272u);
  EXPECT_EQ(plugin.requests[2].bytes[3], 45);
  EXPECT_EQ(plugin.throw_in, "GetSendBuff");

  for (const char* bad : {"item 4 x", "effect 1 2 3", "timing x", "dance 1", "throw"}) {
    std::istringstream one(bad);
    test::TestPropPlugin p;
    EXPECT_FALSE(test::ReadPluginScript(one, p)) << bad;
  }
}

}  // namespace
}  // namespace slvn
