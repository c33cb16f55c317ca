#include "platform/web_pane.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/forms.h"
#include "platform/timer.h"
#include "shell/client.h"

namespace slvn {
namespace {

// Binds a loopback listening socket on a free port.
int Listen(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return -1;
  }
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

// Answers one request with a fixed reply, on its own thread.
class OneShotServer {
 public:
  explicit OneShotServer(std::string reply, int delay_ms = 0) : fd_(Listen(port_)) {
    thread_ = std::thread([this, reply = std::move(reply), delay_ms] {
      int conn = accept(fd_, nullptr, nullptr);
      if (conn < 0) return;
      char buf[2048];
      (void)read(conn, buf, sizeof buf);
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      (void)write(conn, reply.data(), reply.size());
      close(conn);
    });
  }
  ~OneShotServer() {
    shutdown(fd_, SHUT_RDWR);
    thread_.join();
    close(fd_);
  }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/ad"; }

 private:
  int port_ = 0;
  int fd_;
  std::thread thread_;
};

struct Outcome {
  std::vector<std::string> events;
  int status = -1;
};

class WebPaneTest : public ::testing::Test {
 protected:
  Outcome NavigateTo(const std::string& address) {
    Outcome out;
    pane.DownloadComplete = [&] { out.events.push_back("DownloadComplete"); };
    pane.DocumentComplete = [&](const std::string& a) {
      out.events.push_back("DocumentComplete " + a);
    };
    pane.NavigateError = [&](const std::string& a, int status) {
      out.events.push_back("NavigateError " + a);
      out.status = status;
    };
    pane.Navigate(address);
    EXPECT_TRUE(pane.Busy());
    EXPECT_EQ(pane.LocationURL(), address);
    client.loop.WaitUntil([&] { return !pane.Busy(); }, 10);
    return out;
  }

  Client client;
  Form form{client.forms};
  WebBrowser pane{&form, client.loop};
};

TEST_F(WebPaneTest, ShowsThePageTitleAndRaisesTheCompletionEvents) {
  OneShotServer server(
      "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
      "<html><head><TITLE>\n  今日  公告 </TITLE></head><body>hi</body></html>");
  Outcome out = NavigateTo(server.Address());
  EXPECT_EQ(out.events,
            (std::vector<std::string>{"DownloadComplete", "DocumentComplete " + server.Address()}));
  EXPECT_EQ(pane.LocationName(), "今日 公告");
}

TEST_F(WebPaneTest, FailuresRaiseNavigateError) {
  {
    OneShotServer server("HTTP/1.0 404 Not Found\r\n\r\nnope");
    Outcome out = NavigateTo(server.Address());
    EXPECT_EQ(out.events, std::vector<std::string>{"NavigateError " + server.Address()});
    EXPECT_EQ(out.status, 404);
  }
  int port = 0;
  close(Listen(port));  // nothing listens there any more: refused
  const std::string refused = "http://127.0.0.1:" + std::to_string(port) + "/";
  for (const std::string& address : {refused, std::string("file:///etc/passwd"), std::string("")}) {
    Outcome out = NavigateTo(address);
    EXPECT_EQ(out.events, std::vector<std::string>{"NavigateError " + address}) << address;
    EXPECT_EQ(out.status, 0) << address;
    EXPECT_EQ(pane.LocationName(), "");
  }
}

TEST_F(WebPaneTest, ALaterNavigateSupersedesAQueuedOne) {
  OneShotServer server("HTTP/1.0 200 OK\r\n\r\n<title>B</title>");
  std::vector<std::string> done;
  pane.DocumentComplete = [&](const std::string& a) { done.push_back(a); };
  pane.Navigate("http://127.0.0.1:1/first");
  pane.Navigate(server.Address());
  client.loop.WaitUntil([&] { return !pane.Busy(); }, 10);
  EXPECT_EQ(done, std::vector<std::string>{server.Address()});
  EXPECT_EQ(pane.LocationName(), "B");
}

TEST_F(WebPaneTest, TheLoopKeepsRunningWhileAPageLoads) {
  OneShotServer server("HTTP/1.0 200 OK\r\n\r\n<title>slow</title>", 300);
  int ticks = 0;
  Timer tick(client.loop, [&] { ++ticks; });
  tick.SetInterval(20);
  tick.SetEnabled(true);
  Outcome out = NavigateTo(server.Address());
  EXPECT_EQ(out.events.size(), 2u);
  EXPECT_EQ(pane.LocationName(), "slow");
  EXPECT_GE(ticks, 5);
}

TEST(PageTitle, FindsTheTitleOrNothing) {
  struct Case {
    std::string html, title;
  } cases[] = {
      {"<title>a</title>", "a"},   {"<head><title lang=en> a \r\n b </title>", "a b"},
      {"<title>unterminated", ""}, {"<title", ""},
      {"no title here", ""},       {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PageTitle(c.html), c.title) << c.html;
}

}  // namespace
}  // namespace slvn
