// The real programs together: the stand-in lobby starts the client headless
// against the table server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/fake_lobby.h"
#include "support/table_server.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

// The lobby in a process group of its own, so the client goes with it.
class LobbyProcess {
 public:
  // `errors`: a file for the standard error of the lobby and the client;
  // `client`: the program the lobby starts.
  LobbyProcess(const std::string& line, const std::string& bus, const std::string& errors = "",
               const std::string& client = SLVN_CLIENT) {
    int out[2], in[2];
    if (pipe(out) != 0 || pipe(in) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      dup2(out[1], STDOUT_FILENO);
      dup2(in[0], STDIN_FILENO);
      close(out[0]);
      close(out[1]);
      close(in[0]);
      close(in[1]);
      if (!errors.empty())
        if (FILE* err = fopen(errors.c_str(), "w")) dup2(fileno(err), STDERR_FILENO);
      setenv("SLVN_BUS", bus.c_str(), 1);
      setenv("SDL_VIDEODRIVER", "offscreen", 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      execl(SLVN_LOBBY, SLVN_LOBBY, "--client", client.c_str(), "--line", line.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    close(in[0]);
    out_ = fdopen(out[0], "r");
    in_ = in[1];
  }
  // A line for the lobby's standard input ("post 0x400").
  void Say(const std::string& line) {
    std::string text = line + "\n";
    if (in_ >= 0 && write(in_, text.data(), text.size()) < 0) return;
  }
  ~LobbyProcess() {
    if (pid_ > 0) {
      kill(-pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (out_) fclose(out_);
    if (in_ >= 0) close(in_);
  }
  // Waits (bounded) for the lobby to end; true when it did.
  bool WaitForEnd(int seconds = 20) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (pid_ > 0 && std::chrono::steady_clock::now() < give_up) {
      if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
      }
      usleep(50000);
    }
    return false;
  }
  // The lobby's exit code once it ended (it ends with its client's code, or
  // 128 + the signal that killed the client); -1 before.
  int ExitCode() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
  // The program the lobby started, or -1.
  pid_t Child() const {
    if (pid_ <= 0) return -1;
    const std::string path =
        "/proc/" + std::to_string(pid_) + "/task/" + std::to_string(pid_) + "/children";
    FILE* f = fopen(path.c_str(), "r");
    if (!f) return -1;
    int child = -1;
    if (fscanf(f, "%d", &child) != 1) child = -1;
    fclose(f);
    return child;
  }
  // Reads the lobby's lines until one equals `want` (bounded by the time-out).
  bool WaitForLine(const std::string& want, std::vector<std::string>& seen, int seconds = 20) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    char buf[256];
    while (out_ && std::chrono::steady_clock::now() < give_up) {
      if (!fgets(buf, sizeof buf, out_)) return false;
      std::string line(buf);
      while (!line.empty() && line.back() == '\n') line.pop_back();
      seen.push_back(line);
      if (line == want) return true;
    }
    return false;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;  // the lobby's wait status once it ended
  FILE* out_ = nullptr;
  int in_ = -1;
};

// The client program in `dir`: the hand history it keeps beside itself
// goes there.
std::string ClientIn(const test::TempDir& dir) {
  const std::filesystem::path client = dir.path() / "slvn";
  std::error_code error;
  std::filesystem::create_hard_link(SLVN_CLIENT, client, error);
  if (error) std::filesystem::copy_file(SLVN_CLIENT, client, error);
  return client.string();
}

TEST(SmokeTest, LobbyStartsTheClientWhichLogsIn) {
  test::TempDir dir;
  test::TableServer server(dir,
                           "expect 18 text@16=\"alice\"\nsend 18 v3=1 v1=8\nwait 300\nclose\n");
  ASSERT_GT(server.port(), 0);
  LobbyProcess lobby("alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$",
                     test::TestBusNamespace());
  std::vector<std::string> seen;
  EXPECT_TRUE(lobby.WaitForLine("recv 0x16 0 0", seen));
  EXPECT_TRUE(lobby.WaitForLine("recv 0x303 0 0", seen));
  EXPECT_EQ(server.Finish(), 0) << server.Record();
  EXPECT_NE(server.Record().find("recv cmd=18"), std::string::npos);
}

// The lobby asks the client to leave the table (0x400) and later to connect
// again (0x16): the leave packet goes out, and the client logs in anew.
TEST(SmokeTest, LobbyMakesTheClientLeaveAndComeBack) {
  test::TempDir dir;
  test::TableServer server(dir, R"(
expect 18 text@16="alice"
send 18 v3=1 v1=8
expect 16 v3=0 timeout=15000
accept
expect 18 text@16="alice" timeout=15000
send 18 v3=1 v1=8
wait 300
close
)");
  ASSERT_GT(server.port(), 0);
  LobbyProcess lobby("alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$",
                     test::TestBusNamespace());
  std::vector<std::string> seen;
  ASSERT_TRUE(lobby.WaitForLine("recv 0x303 0 0", seen));
  lobby.Say("post 0x400");
  ASSERT_TRUE(lobby.WaitForLine("recv 0x400 0 0", seen));  // left and reset
  lobby.Say("post 0x16");
  EXPECT_TRUE(lobby.WaitForLine("recv 0x303 0 0", seen));  // logged in again
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

// A desktop logout or kill sends SIGTERM (Ctrl+C SIGINT, a closed terminal
// SIGHUP): the client ends in order, and the server sees its connection closed.
TEST(SmokeTest, AnEndSignalEndsTheClientInOrder) {
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    test::TempDir dir;
    test::TableServer server(dir, R"(
expect 18 text@16="alice"
send 18 v3=1 v1=8
wait 15000
close
)");
    ASSERT_GT(server.port(), 0);
    LobbyProcess lobby("alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$",
                       test::TestBusNamespace());
    std::vector<std::string> seen;
    ASSERT_TRUE(lobby.WaitForLine("recv 0x303 0 0", seen));
    const pid_t client = lobby.Child();
    ASSERT_GT(client, 0);
    ASSERT_EQ(kill(client, signal_number), 0);
    EXPECT_EQ(server.Finish(), 0) << server.Record();
    EXPECT_NE(server.Record().find("peer closed"), std::string::npos) << server.Record();
    // The client ended on its own with 0, not killed by the signal.
    ASSERT_TRUE(lobby.WaitForEnd());
    EXPECT_EQ(lobby.ExitCode(), 0);
  }
}

// alice, seated by `script`, is sent away: her client ends on its own, the
// lobby with it, and the server sees the connection close.
void ExpectClientAndLobbyToEnd(const std::string& script) {
  test::TempDir dir;
  test::TableServer server(dir, script);
  ASSERT_GT(server.port(), 0);
  LobbyProcess lobby("alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$",
                     test::TestBusNamespace());
  std::vector<std::string> seen;
  ASSERT_TRUE(lobby.WaitForLine("recv 0x303 0 0", seen));
  EXPECT_TRUE(lobby.WaitForEnd());
  server.Finish();
  EXPECT_NE(server.Record().find("peer closed"), std::string::npos) << server.Record();
}

// A quit that names the own seat among the leavers ends the client, and
// with it the lobby.
TEST(SmokeTest, AQuitOfTheOwnSeatEndsClientAndLobby) {
  ExpectClientAndLobbyToEnd(R"(
expect 18
send 18 v3=1 v1=8
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
send 16 seat=8 v3=2
wait 500
send 16 seat=3 v3=1
wait 3000
)");
}

// A spectator joins a hand under way: the table summary, the four players'
// details and tiles. Its keep-alive then carries the watched seat, it sends
// nothing else, and no step of the join is left unbuilt.
TEST(SmokeTest, ASpectatorJoinsAHandUnderWay) {
  test::TempDir dir;
  std::string script = R"(
expect 18 text@16="watcher"
send 18 v0=3 v1=15 v3=1
send 41 seat=8 v0=3 v1=4 v2=0x29 v3=0x43
)";
  const int seats[] = {8, 4, 2, 1};
  for (int seat : seats)
    script += "send 20 seat=" + std::to_string(seat) + " text@16=\"玩家\" text@168=\"p" +
              std::to_string(seat) + "\" text@210=\"sc\" text@218=\"a\" u32le@226=" +
              std::to_string(seat == 4 ? 1002 : 1000 + seat) + "\n";
  for (int seat : seats)
    script += "send 40 seat=" + std::to_string(seat) +
              " extra2=2 v1=40 v3=117 hex@16=20151011101210131014\n";
  script += "send 5 seat=8\nsend 2 seat=8 v3=0x22\nexpect 24 seat=4 timeout=8000\nclose\n";
  test::TableServer server(dir, script);
  ASSERT_GT(server.port(), 0);
  const std::string errors = dir.File("stderr.txt");
  {
    LobbyProcess lobby("watcher$key$127.0.0.1$" + std::to_string(server.port()) + "$一号桌$1002",
                       test::TestBusNamespace(), errors);
    EXPECT_EQ(server.Finish(), 0) << server.Record();
  }
  const std::string record = server.Record();
  for (size_t at = record.find("recv cmd="); at != std::string::npos;
       at = record.find("recv cmd=", at + 1)) {
    const std::string cmd = record.substr(at + 9, record.find(' ', at + 9) - at - 9);
    EXPECT_TRUE(cmd == "18" || cmd == "24") << cmd;
  }
  const std::string stderr_text = test::ReadFileBytes(errors);
  for (const char* name :
       {"HandleSeatTiles", "HandleTableSummary", "SetupWatchTable", "WatchDrawTiles",
        "WatchShowDiscard", "WatchApplyOperation", "WatchDrawHiddenDiscards"})
    EXPECT_EQ(stderr_text.find(name), std::string::npos) << name;
}

// The server names the own account as a user who left: the client ends in
// order, and the lobby, which runs as long as its client, ends with it.
TEST(SmokeTest, TheOwnNameLeavingEndsClientAndLobby) {
  ExpectClientAndLobbyToEnd(R"(
expect 18 text@16="alice"
send 18 v3=1 v1=8
send 20 seat=15 text@16="爱丽丝" text@168="alice" u32le@96=500
wait 300
send 21 text@16="alice"
wait 1000
)");
}

// The item plug-in in the real program: the test plug-in's library under
// plugin/tools/ beside the program (a link to the client in a folder of the
// test's), its script named by SLVN_PROP_SCRIPT (`prop_script` after the
// common lines), launch field 14 at 1. Seated by user details, the client
// loads it; the plug-in's first requests come out (a text line and a packet
// it sends); a won hand ends in its sheet and the ready. The plug-in's
// record of calls and the programs' standard error come back.
struct PlugInRun {
  std::string record, errors;
};
PlugInRun RunAWonHandWithThePlugIn(const std::string& prop_script) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "plugin/tools");
  std::filesystem::copy_file(SLVN_TEST_PROP_PLUGIN, dir.path() / "plugin/tools/PropDll.so");
  const std::string client = ClientIn(dir);
  test::WriteFileBytes(dir.File("prop_script.txt"),
                       "boxes 1\n"
                       "coins 300 0 0 0\n"
                       "item 0 宝箱奖励 +300金币00000255\n"
                       "name 0 alice\n"
                       "tally 0 宝箱 +300金币\n"
                       "request 0 道具已就绪\n"
                       "packet 0 0 0 45 0 0 8 0 0 7\n" +
                           prop_script);
  std::string script = R"(
expect 18 text@16="alice"
send 18 v0=3 v1=15 v3=1
send 20 seat=15 text@16="alice" text@168="alice" u32le@96=1000
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
)";
  const std::pair<int, const char*> players[] = {
      {8, "alice"}, {4, "bob"}, {2, "carol"}, {1, "dave"}};
  for (auto [seat, name] : players)
    script += "send 20 seat=" + std::to_string(seat) + " text@16=\"" + name + "\" text@168=\"" +
              name + "\" u32le@96=1000\n";
  // A won hand: end rows, the item score (46) before the result rows; the
  // sheet follows, and the ready countdown sends the ready.
  script += R"(expect 45 seat=8 v0=7 timeout=8000
send 9 seat=8 v1=0 hex@16=3c
send 9 seat=4 v1=1 hex@16=46
send 9 seat=2 v1=1
send 9 seat=1 v1=0 hex@16=0a
send 46 seat=8
send 17 seat=8 v1=10 v3=1 hex@44=0032 hex@63=3c hex@71=00
send 17 seat=4 v1=10 v3=1 hex@44=0146 hex@63=3c hex@71=01
send 17 seat=2 v1=10 v3=1 hex@44=01 hex@71=01
send 17 seat=1 v1=10 v3=1 hex@44=000a hex@71=01
expect 16 v3=1 timeout=40000
close
)";
  test::TableServer server(dir, script);
  EXPECT_GT(server.port(), 0);
  PlugInRun run;
  if (server.port() <= 0) return run;
  const std::string errors = dir.File("stderr.txt");
  setenv("SLVN_PROP_SCRIPT", dir.File("prop_script.txt").c_str(), 1);
  setenv("SLVN_PROP_RECORD", dir.File("prop_record.txt").c_str(), 1);
  {
    LobbyProcess lobby(
        "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$一号桌$0$$$$$$$$1$0$",
        test::TestBusNamespace(), errors, client);
    EXPECT_EQ(server.Finish(), 0) << server.Record() << test::ReadFileBytes(errors);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "info.cv"));
  }
  unsetenv("SLVN_PROP_SCRIPT");
  unsetenv("SLVN_PROP_RECORD");
  run.record = test::ReadFileBytes(dir.File("prop_record.txt"));
  run.errors = test::ReadFileBytes(errors);
  return run;
}

TEST(SmokeTest, TheItemPlugInLoadsAndTheBoxStageEndsInTheSheet) {
  const std::string record = RunAWonHandWithThePlugIn("").record;
  // Loaded with treasure boxes, told of the four players, polled.
  for (const char* call : {"Initdll\nGetBaoInfo\n", "SetUserinfo ", "GetSendBuff\n"})
    EXPECT_NE(record.find(call), std::string::npos) << call << record;
  // The own player, from the details the login brings, at display seat 0;
  // the others at theirs.
  for (const char* call : {"SetUserinfo alice alice 8 0 ", "SetUserinfo bob bob 4 1 ",
                           "SetUserinfo carol carol 2 2 ", "SetUserinfo dave dave 1 3 "})
    EXPECT_NE(record.find(call), std::string::npos) << call << record;
  // The box stage ran in order before the ready: opening, opened, the sheet.
  size_t at = record.find("InitShowEnd");
  for (const char* call :
       {"GetScoreInfo", "ShowGif 1 true", "ShowGif 1 false", "InitShowNext false"}) {
    at = at == std::string::npos ? at : record.find(call, at);
    EXPECT_NE(at, std::string::npos) << call << record;
  }
}

// A plug-in that throws when asked for the hand's score: the program goes
// on without it, shows the sheet itself and sends the ready.
TEST(SmokeTest, APlugInThatThrowsLeavesTheHandToTheClient) {
  const PlugInRun run = RunAWonHandWithThePlugIn("throw GetScoreInfo\n");
  EXPECT_NE(run.record.find("GetScoreInfo"), std::string::npos) << run.record;
  EXPECT_EQ(run.record.find("ShowGif"), std::string::npos) << run.record;
  EXPECT_NE(run.errors.find("the item plug-in failed in GetScoreInfo"), std::string::npos)
      << run.errors;
}

}  // namespace
}  // namespace slvn

namespace slvn {
namespace {

// A drawn hand and then a won one, each ended by its sheet: the ready
// countdown sends the ready after each.
TEST(SmokeTest, EachSheetEndsItsHandWithTheReady) {
  test::TempDir dir;
  const std::string client = ClientIn(dir);
  std::string script = R"(
expect 18
send 18 v0=3 v1=15 v3=1
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
send 4 seat=1 v0=2 v1=5 hex@16=00
wait 5000
)";
  for (int seat : {8, 4, 2, 1}) script += "send 9 seat=" + std::to_string(seat) + " v1=1\n";
  script += "expect 16 v3=1 timeout=25000\n";
  // The won hand: its end rows (East +60, the others -20 each), then its result rows.
  script += "send 9 seat=8 v1=1 hex@16=3c\n";
  for (int seat : {4, 2, 1}) script += "send 9 seat=" + std::to_string(seat) + " hex@16=14\n";
  script += "send 17 seat=8 v1=10 v3=1 hex@44=0032 hex@63=3c hex@71=00\n";
  script += "send 17 seat=4 v1=10 v3=1 hex@44=0132 hex@63=3c hex@71=01\n";
  script += "send 17 seat=2 v1=10 v3=1 hex@44=01 hex@71=01\n";
  script += "send 17 seat=1 v1=10 v3=1 hex@44=01 hex@71=01\n";
  script += "expect 16 v3=1 timeout=25000\nclose\n";
  test::TableServer server(dir, script);
  ASSERT_GT(server.port(), 0);
  LobbyProcess lobby("alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$",
                     test::TestBusNamespace(), "", client);
  EXPECT_EQ(server.Finish(), 0) << server.Record();
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "info.cv"));
}

}  // namespace
}  // namespace slvn
