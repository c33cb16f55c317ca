#include "platform/web_pane.h"

#include <gtest/gtest.h>

#include "platform/forms.h"
#include "platform/timer.h"
#include "shell/client.h"
#include "support/one_shot_server.h"

namespace slvn {
namespace {

using test::OneShotServer;

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
  const std::string refused = test::RefusedAddress();
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
