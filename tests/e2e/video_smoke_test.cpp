// Two players at one table see each other: the video relay, two table
// servers and two lobbies with their clients, all headless.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/fake_lobby.h"
#include "support/table_server.h"
#include "support/temp_dir.h"
#include "support/video_relay.h"

namespace slvn {
namespace {

// One player's table: login, the two players' details and the four seat
// names, the game start, a new hand and the deal; then time for video.
std::string TableScript(const std::string& own, int own_bit) {
  const std::string other = own == "alice" ? "bob" : "alice";
  const int other_bit = own_bit == 8 ? 4 : 8;
  auto details = [](int seat, const std::string& account) {
    return "send 20 seat=" + std::to_string(seat) + " text@16=\"" + account +
           "\" text@48=\"m3\" text@168=\"" + account + "\" u32le@96=1000\n";
  };
  return "expect 18\nsend 18 v0=3 v1=15 v3=1\n" + details(15, own) + "wait 300\n" +
         details(0, other) + "wait 300\n" + "send 3 seat=8 text@16=\"alice\"\n" +
         "send 3 seat=4 text@16=\"bob\"\n" + "send 3 seat=2 text@16=\"carol\"\n" +
         "send 3 seat=1 text@16=\"dave\"\n" + details(own_bit, own) + details(other_bit, other) +
         "wait 500\nsend 16 seat=1 v3=2\n" + "send 4 seat=1 v0=3 v1=4\nwait 4000\n" +
         "send 1 seat=1\nsend 1 seat=2\nsend 1 seat=4\n" +
         "send 1 seat=8 v0=0x81 v1=0x82 v2=0x83 v3=0x41\n" + "wait 12000\nclose\n";
}

// The lobby in a process group of its own, so its client goes with it.
class Player {
 public:
  Player(const std::string& name, int port, int video_port, const std::string& shot,
         const std::string& errors) {
    pid_ = fork();
    if (pid_ != 0) return;
    setpgid(0, 0);
    if (FILE* err = fopen(errors.c_str(), "w")) dup2(fileno(err), STDERR_FILENO);
    if (FILE* out = fopen("/dev/null", "w")) dup2(fileno(out), STDOUT_FILENO);
    setenv("SLVN_BUS", (test::TestBusNamespace() + "-" + name).c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SLVN_CAMERA", "test", 1);
    setenv("SLVN_VIDEO_PORT", std::to_string(video_port).c_str(), 1);
    setenv("SLVN_SCREENSHOT", shot.c_str(), 1);
    setenv("SLVN_SCREENSHOT_AFTER", "14", 1);
    const std::string line = name + "$key$127.0.0.1$" + std::to_string(port) + "$room$0$";
    execl(SLVN_LOBBY, SLVN_LOBBY, "--client", SLVN_CLIENT, "--line", line.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  ~Player() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

 private:
  pid_t pid_ = -1;
};

bool WaitForFile(const std::string& path, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST(VideoSmokeTest, TwoPlayersSeeEachOthersCameraThroughTheRelay) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  test::TableServer alice_table(dir, TableScript("alice", 8));
  test::TableServer bob_table(dir, TableScript("bob", 4));
  ASSERT_GT(alice_table.port(), 0);
  ASSERT_GT(bob_table.port(), 0);
  const std::string alice_shot = dir.File("alice.png"), bob_shot = dir.File("bob.png");
  {
    Player alice("alice", alice_table.port(), relay.port(), alice_shot, dir.File("alice.err"));
    Player bob("bob", bob_table.port(), relay.port(), bob_shot, dir.File("bob.err"));
    EXPECT_TRUE(WaitForFile(alice_shot, 40));
    EXPECT_TRUE(WaitForFile(bob_shot, 20));
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the PNGs are written out
  }
  const std::string record = relay.Record();
  // Linked on whichever slot each chose.
  auto linked = [&record](const std::string& who) {
    for (char slot : {'1', '2', '3'})
      if (record.find("state " + who + " " + slot + " 15") != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(linked("alice")) << record.substr(0, 2000);
  EXPECT_TRUE(linked("bob")) << record.substr(0, 2000);
  EXPECT_NE(record.find("frame alice bob"), std::string::npos);
  EXPECT_NE(record.find("frame bob alice"), std::string::npos);
  // Kept for a person to look at.
  std::error_code ignored;
  std::filesystem::copy_file(alice_shot, "video_alice.png",
                             std::filesystem::copy_options::overwrite_existing, ignored);
  std::filesystem::copy_file(bob_shot, "video_bob.png",
                             std::filesystem::copy_options::overwrite_existing, ignored);
}

}  // namespace
}  // namespace slvn
