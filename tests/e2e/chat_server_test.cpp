// Chat against the table server: a seated player types a public line, then
// clicks another player's avatar and types a private one; the server sees
// the exact packets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/text.h"
#include "shell/client.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/table_server.h"

namespace slvn {
namespace {

// Bytes from the end of the text to the end of the 200-byte payload: all zero.
std::string ZerosAfter(const std::string& utf8) {
  const size_t from = 16 + Utf8ToGb2312(utf8).size();
  return "hex@" + std::to_string(from) + "=" + std::string(2 * (216 - from), '0');
}

// alice logs in and is seated at East with bob, carol and dave.
constexpr const char* kSeated = R"(
expect 18 text@16="alice"
send 18 v0=3 v1=15 v3=1
send 20 seat=15 text@16="爱丽丝" text@48="w1" text@168="alice" u32le@96=500
send 20 seat=0 text@16="鲍勃" text@48="m2" text@168="bob" u32le@96=600
send 20 seat=0 text@16="卡萝" text@48="w7" text@168="carol" u32le@96=700
send 20 seat=0 text@16="大卫" text@48="m5" text@168="dave" u32le@96=800
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
send 20 seat=8 text@16="爱丽丝" text@168="alice" u32le@96=500
send 20 seat=4 text@16="鲍勃" text@48="m2" text@168="bob" u32le@96=600
send 20 seat=2 text@16="卡萝" text@48="w7" text@168="carol" u32le@96=700
send 20 seat=1 text@16="大卫" text@48="m5" text@168="dave" u32le@96=800
)";

class ChatServerTest : public test::LobbyFixture {};

TEST_F(ChatServerTest, APublicLineThenAPrivateOneAfterAnAvatarClick) {
  const std::string public_line = "爱丽丝说道: hello 大家";
  const std::string private_line = "爱丽丝对鲍勃说:psst";
  test::TempDir server_dir;
  test::TableServer server(server_dir, std::string(kSeated) + R"(
expect 19 seat=8 v0=0 v1=0 v2=0 v3=0 text@16=")" +
                                           public_line + "\" " + ZerosAfter(public_line) + R"(
expect 19 seat=8 v0=0 v1=4 v2=0 v3=0 text@16=")" +
                                           private_line + "\" " + ZerosAfter(private_line) + R"(
close
)");
  ASSERT_GT(server.port(), 0);
  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  MainForm& f = client.main_form;
  ASSERT_TRUE(test::Drive(client, [&] { return f.ZhiNan.Visible(); })) << server.Record();
  f.SetFocus(&f.Chat);
  for (const char* piece : {"h", "e", "l", "l", "o", " ", "大家"}) DeliverText(f, piece);
  DeliverKeyDown(f, 13, 0);
  EXPECT_EQ(f.Chat.Text(), "");
  client.loop.RunFor(0.9);  // the flood gate opens again
  f.Tou[1].Click();
  EXPECT_EQ(f.Chat.Text(), "你对鲍勃说:");
  for (const char* piece : {"p", "s", "s", "t"}) DeliverText(f, piece);
  DeliverKeyDown(f, 13, 0);
  auto both_sent = [&] {
    const std::string record = server.Record();
    const size_t first = record.find("recv cmd=19");
    return first != std::string::npos && record.find("recv cmd=19", first + 1) != std::string::npos;
  };
  ASSERT_TRUE(test::Drive(client, both_sent, 20)) << server.Record();
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

// bob floods the table's chat and the server relays a line every 40 ms for
// a minute, more than the client's one packet a tick: the client stays at
// the table and every line is in the history, in order.
TEST_F(ChatServerTest, ALineEvery40MsForAMinuteLeavesThePlayerAtTheTable) {
  constexpr int kLines = 1500;
  std::string script = kSeated;
  std::vector<std::string> flood;
  for (int i = 0; i < kLines; ++i) {
    const std::string line = "flood " + std::to_string(i);
    flood.push_back(" " + line);  // the history indents every line
    script += "send 19 seat=4 text@16=\"" + line + "\"\nwait 40\n";
  }
  script += "wait 3000\nclose\n";
  test::TempDir server_dir;
  test::TableServer server(server_dir, script);
  ASSERT_GT(server.port(), 0);
  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  auto flood_seen = [&] {
    std::vector<std::string> seen;
    for (const std::string& line : client.chat.Text1)
      if (line.starts_with(" flood ")) seen.push_back(line);
    return seen;
  };
  ASSERT_TRUE(test::Drive(
      client, [&] { return flood_seen().size() >= kLines; }, 120))
      << flood_seen().size() << " lines";
  EXPECT_EQ(flood_seen(), flood);
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kConnected);
  EXPECT_TRUE(client.main_form.ZhiNan.Visible());  // still at the table
  EXPECT_EQ(server.Finish(), 0) << server.Record().substr(0, 2000);
}

}  // namespace
}  // namespace slvn
