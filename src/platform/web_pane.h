#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/timer.h"

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
  struct Transfer;  // libcurl's handles and what has arrived

  void Start();
  void Stop();
  // Lets libcurl work on a socket (or its time-outs) and finishes the
  // transfer when it is done.
  void Drive(int socket, int flags);
  void Finish(bool fetched, long status);
  // Raises NavigateError on a later pass, as a failed fetch would.
  void FailLater();
  static int OnSocket(void* easy, int socket, int what, void* self, void* socket_data);
  static int OnTimer(void* multi, long timeout_ms, void* self);

  EventLoop& loop_;
  std::string address_;
  std::string title_;
  bool busy_ = false;
  uint64_t generation_ = 0;  // counts Navigate calls
  std::unique_ptr<Transfer> transfer_;
  std::map<int, int> watches_;  // socket -> the loop's watch id
  Timer timer_;
  std::shared_ptr<bool> alive_;
};

// The text of a page's <title>, blanks collapsed; "" when there is none.
std::string PageTitle(const std::string& html);

}  // namespace slvn
