#pragma once

#include <functional>
#include <string>

#include "platform/controls.h"

namespace slvn {

class EventLoop;

// The web pane: shows a page's title and address. Navigate fetches the
// address on a later pass of the loop with a short time-out and then raises
// DownloadComplete and DocumentComplete, or NavigateError when the page
// cannot be fetched. It has no context menu.
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
  void Fetch(uint64_t generation);

  EventLoop& loop_;
  std::string address_;
  std::string title_;
  bool busy_ = false;
  uint64_t generation_ = 0;  // a newer Navigate supersedes a queued fetch
  std::shared_ptr<bool> alive_;
};

// The text of a page's <title>, blanks collapsed; "" when there is none.
std::string PageTitle(const std::string& html);

}  // namespace slvn
