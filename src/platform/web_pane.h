#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/http_fetch.h"

namespace slvn {

class EventLoop;

// The web pane: shows a page's title and address. Navigate fetches the
// address through the loop (its sockets and a timer, never blocking) with a
// short time-out and then raises DownloadComplete and DocumentComplete, or
// NavigateError when the page cannot be fetched. It has no context menu.
class WebBrowser : public Control {
 public:
  WebBrowser(Container* parent, EventLoop& loop);
  ~WebBrowser() override;

  void Navigate(const std::string& address);
  const std::string& LocationURL() const { return address_; }
  const std::string& LocationName() const { return title_; }
  // True from Navigate until the page's events have been raised.
  bool Busy() const { return busy_; }

  ClickHandler DownloadComplete;
  std::function<void(const std::string& address)> DocumentComplete;
  // (address, status): the HTTP status, or 0 when there was no answer.
  std::function<void(const std::string& address, int status)> NavigateError;

  static constexpr long kTimeoutMs = 3000;

 private:
  void Finish(const FetchResult& result);

  std::string address_;
  std::string title_;
  bool busy_ = false;
  HttpFetch fetch_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The text of a page's <title>, blanks collapsed; "" when there is none.
std::string PageTitle(const std::string& html);

}  // namespace slvn
