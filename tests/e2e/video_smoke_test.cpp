// Two players at one table see each other: the video relay, two table
// servers and two lobbies with their clients, all headless.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "shell/client.h"
#include "support/fake_lobby.h"
#include "support/screen_shot.h"
#include "support/table_layout.h"
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

// The lobby in a process group of its own, so its client goes with it; the
// client's camera is the moving test picture.
class Player {
 public:
  Player(const std::string& name, int port, int video_port, const std::string& shot,
         const std::string& errors)
      : Player(name, name + "$key$127.0.0.1$" + std::to_string(port) + "$room$0$", video_port, shot,
               errors) {}
  Player(const std::string& name, const std::string& line, int video_port, const std::string& shot,
         const std::string& errors, int shot_after = 14) {
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
    setenv("SLVN_SCREENSHOT_AFTER", std::to_string(shot_after).c_str(), 1);
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

// A client's screenshot once it is written out whole: the file appears with
// its first bytes and grows while the client compresses the picture, which a
// busy machine may take its time over.
Picture WaitForPicture(const std::string& path, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (Picture picture = test::ReadPicture(path)) return picture;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return nullptr;
}

// Whether the rectangle of the screenshot shows the test camera's picture,
// stretched over it: blue grows from left to right and green from top to
// bottom, apart from the white bar that moves across it.
bool ShowsTestPicture(const Image& shot, const test::PixelRect& r) {
  if (r.Empty() || r.x + r.width > shot.width || r.y + r.height > shot.height) return false;
  constexpr int kGrid = 6;
  int looked = 0, alike = 0;
  for (int i = 0; i < kGrid; ++i)
    for (int j = 0; j < kGrid; ++j) {
      const double fx = (i + 0.5) / kGrid, fy = (j + 0.5) / kGrid;
      const uint32_t seen =
          shot.At(r.x + static_cast<int>(fx * r.width), r.y + static_cast<int>(fy * r.height));
      if ((seen & 0xF0F0F0) == 0xF0F0F0) continue;  // the bar
      ++looked;
      const uint32_t red = seen & 0xFF0000;  // the picture's frame count: any
      const uint32_t want =
          red | static_cast<uint32_t>(255 * fy) << 8 | static_cast<uint32_t>(255 * fx);
      alike += test::Alike(seen, want, 48);
    }
  return looked >= kGrid * kGrid / 2 && alike * 10 >= looked * 8;
}

// A player's seat panel in the screenshot of its table, laid out as the
// client lays it out at the scale the screenshot's width shows.
test::PixelRect SeatPanel(const Image& shot, int seat) {
  Client client{std::make_unique<ManualClock>()};
  test::LayOutTable(client, shot.width >= 1024 ? 1.0f : 0.78125f);
  return test::FormPixels(client.main_form.vshow[seat]);
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
  Picture alice_sees, bob_sees;
  {
    Player alice("alice", alice_table.port(), relay.port(), alice_shot, dir.File("alice.err"));
    Player bob("bob", bob_table.port(), relay.port(), bob_shot, dir.File("bob.err"));
    alice_sees = WaitForPicture(alice_shot, 40);
    bob_sees = WaitForPicture(bob_shot, 20);
  }
  // The frames go into the record as a summary once each has gone.
  std::string record;
  for (int i = 0; i < 250; ++i) {
    record = relay.Record();
    if (record.find("gone alice") != std::string::npos &&
        record.find("gone bob") != std::string::npos)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Linked on whichever slot each chose.
  auto linked = [&record](const std::string& who) {
    for (char slot : {'1', '2', '3'})
      if (record.find("state " + who + " " + slot + " 15") != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(linked("alice")) << record.substr(0, 2000);
  EXPECT_TRUE(linked("bob")) << record.substr(0, 2000);
  EXPECT_NE(record.find("frames alice bob: "), std::string::npos);
  EXPECT_NE(record.find("frames bob alice: "), std::string::npos);
  // Each sees the other's camera in the other's seat: bob (South) sits on
  // alice's (East) left, alice on bob's right.
  ASSERT_TRUE(alice_sees && bob_sees);
  EXPECT_TRUE(ShowsTestPicture(*alice_sees, SeatPanel(*alice_sees, 1)));
  EXPECT_TRUE(ShowsTestPicture(*bob_sees, SeatPanel(*bob_sees, 3)));
  // Not in the seat across.
  EXPECT_FALSE(ShowsTestPicture(*alice_sees, SeatPanel(*alice_sees, 2)));
  // Kept for a person to look at.
  std::error_code ignored;
  std::filesystem::copy_file(alice_shot, "video_alice.png",
                             std::filesystem::copy_options::overwrite_existing, ignored);
  std::filesystem::copy_file(bob_shot, "video_bob.png",
                             std::filesystem::copy_options::overwrite_existing, ignored);
}

// A spectator at a table with the video chat on, the relay running: through
// the join, the hands and a new hand's deal it never logs in to the relay
// (under the watched player's name or any), binds a slot or sends a frame,
// and no camera covers the watched player's portrait. The spectator's pauses
// for discards and claims put it well behind the server: its screenshot
// comes after it has dealt the new hand.
TEST(VideoSmokeTest, ASpectatorStaysOutOfTheVideoChat) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  const char* source = std::getenv("SLVN_SOURCE_DIR");
  ASSERT_TRUE(source);
  const std::string script =
      test::ReadFileBytes(std::string(source) + "/tools/table-server/scripts/watch.txt");
  ASSERT_FALSE(script.empty());
  test::TableServer table(dir, script);
  ASSERT_GT(table.port(), 0);
  const std::string shot = dir.File("watch.png");
  Picture seen;
  {
    Player watcher("watcher",
                   "watcher$key$127.0.0.1$" + std::to_string(table.port()) + "$room$1002",
                   relay.port(), shot, dir.File("watcher.err"), 45);
    EXPECT_EQ(table.Finish(), 0) << table.Record();
    seen = WaitForPicture(shot, 40);
  }
  EXPECT_EQ(relay.Record(), "");
  ASSERT_TRUE(seen);
  Client layout{std::make_unique<ManualClock>()};
  test::LayOutTable(layout, seen->width >= 1024 ? 1.0f : 0.78125f);
  test::PixelRect portrait = test::FormPixels(layout.main_form.Tou[0]);
  portrait.height -= 8;  // where a camera would lie over it
  EXPECT_FALSE(ShowsTestPicture(*seen, portrait));
}

}  // namespace
}  // namespace slvn
