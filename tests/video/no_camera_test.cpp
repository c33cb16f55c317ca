// A player without a camera at a table with the video chat on: the client
// made as the program makes it, SLVN_CAMERA unset and the default device a
// path that does not exist, against the table server and the real relay.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "shell/client.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/table_server.h"
#include "support/video_relay.h"
#include "video/video_chat.h"
#include "video/video_controls.h"

namespace slvn {
namespace {

// Sets or unsets a variable for the test's time, and puts it back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// alice (East) is seated with bob (South), carol and dave; a hand starts and
// is dealt, then the table stays for the video.
constexpr const char* kTable = R"(
expect 18
send 18 v0=3 v1=15 v3=1
send 20 seat=15 text@16="alice" text@48="m3" text@168="alice" u32le@96=1000
send 20 seat=0 text@16="bob" text@48="m2" text@168="bob" u32le@96=1000
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
send 20 seat=8 text@16="alice" text@48="m3" text@168="alice" u32le@96=1000
send 20 seat=4 text@16="bob" text@48="m2" text@168="bob" u32le@96=1000
send 16 seat=1 v3=2
send 4 seat=1 v0=3 v1=4
wait 300
send 1 seat=1
send 1 seat=2
send 1 seat=4
send 1 seat=8 v0=0x81 v1=0x82 v2=0x83 v3=0x41
wait 10000
close
)";

class NoCameraTest : public test::LobbyFixture {};

TEST_F(NoCameraTest, SendsNoFrameAndTellsThePlayer) {
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  test::TableServer server(dir, kTable);
  ASSERT_GT(server.port(), 0);
  const std::string port = std::to_string(relay.port());
  ScopedEnv no_setting("SLVN_CAMERA", nullptr);
  ScopedEnv relay_port("SLVN_VIDEO_PORT", port.c_str());
  client.video = MakeVideoControls(client.loop, VideoSurfacesOf(client), dir.File("video0"));
  ConnectVideoEvents(client);

  // bob, a table mate on the same relay, links to alice and counts her frames.
  std::unique_ptr<P2PSocket> bob = MakeRelayLink(client.loop, relay.port());
  bob->ServerAddress = "127.0.0.1";
  bob->UserCount = 3;
  std::vector<VideoFrame> from_alice;
  bob->FrameArrived = [&](int, const VideoFrame& frame) { from_alice.push_back(frame); };
  bob->LoginServer("bob");
  bob->ConnectUser(1, "alice");

  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  P2PSocket& alice = *client.video.P2PSocket1;
  auto linked = [&] {
    for (int slot = 1; slot <= 3; ++slot)
      if (alice.UserID(slot) == "bob" && alice.UserState(slot) == 15) return true;
    return false;
  };
  ASSERT_TRUE(test::Drive(client, [&] { return linked() && bob->UserState(1) == 15; }))
      << server.Record() << relay.Record();
  // Linked both ways, a camera's frames would be on their way within a
  // fifth of a second: three seconds bring none.
  EXPECT_FALSE(test::Drive(
      client, [&] { return !from_alice.empty(); }, 3.0))
      << from_alice.size() << " frames";
  EXPECT_FALSE(client.data.OwnCaptureOn);
  EXPECT_FALSE(client.main_form.vcap1.Visible());
  const std::string notice = "您没有视频设备或您的视频源正在使用。";
  const auto& strip = client.chat.Sysmsg;
  EXPECT_TRUE(strip[0] == notice || strip[1] == notice)
      << strip[0].value_or("") << " / " << strip[1].value_or("");
}

}  // namespace
}  // namespace slvn
