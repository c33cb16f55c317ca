#include "platform/web_pane.h"

#include <curl/curl.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/event_loop.h"
#include "platform/text.h"

namespace slvn {

namespace {

// Pages are small; anything larger is cut off here.
constexpr size_t kMaxPageBytes = 1 << 20;

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* page = static_cast<std::string*>(user);
  size_t n = size * count;
  if (page->size() + n > kMaxPageBytes) return 0;  // aborts the transfer
  page->append(data, n);
  return n;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool IsHttp(const std::string& address) {
  std::string a = Lower(address.substr(0, 8));
  return a.starts_with("http://") || a.starts_with("https://");
}

}  // namespace

std::string PageTitle(const std::string& html) {
  const std::string lower = Lower(html);
  size_t open = lower.find("<title");
  if (open == std::string::npos) return "";
  open = lower.find('>', open);
  if (open == std::string::npos) return "";
  size_t close = lower.find("</title", open);
  if (close == std::string::npos) return "";
  std::string title;
  for (size_t i = open + 1; i < close; ++i) {
    char c = html[i];
    bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank && (title.empty() || title.back() == ' ')) continue;
    title += blank ? ' ' : c;
  }
  if (!title.empty() && title.back() == ' ') title.pop_back();
  if (lower.find("charset=gb") != std::string::npos) title = Gb2312ToUtf8(title);
  return title;
}

struct WebBrowser::Transfer {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  std::string page;
  ~Transfer() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
  }
};

WebBrowser::WebBrowser(Container* parent, EventLoop& loop)
    : Control(parent, true), loop_(loop), timer_(loop), alive_(std::make_shared<bool>(true)) {
  timer_.SetHandler([this] {
    timer_.SetEnabled(false);
    Drive(CURL_SOCKET_TIMEOUT, 0);
  });
}

WebBrowser::~WebBrowser() {
  Stop();
}

void WebBrowser::Navigate(const std::string& address) {
  Stop();
  ++generation_;
  address_ = address;
  title_.clear();
  busy_ = true;
  Invalidate();
  Start();
}

void WebBrowser::Stop() {
  transfer_.reset();
  for (const auto& [socket, watch] : watches_) loop_.Unwatch(watch);
  watches_.clear();
  timer_.SetEnabled(false);
}

void WebBrowser::Start() {
  auto t = std::make_unique<Transfer>();
  t->multi = curl_multi_init();
  t->easy = curl_easy_init();
  if (!IsHttp(address_) || !t->multi || !t->easy) {
    FailLater();
    return;
  }
  CURL* curl = t->easy;
  curl_easy_setopt(curl, CURLOPT_URL, address_.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t->page);
  curl_multi_setopt(t->multi, CURLMOPT_SOCKETFUNCTION, OnSocket);
  curl_multi_setopt(t->multi, CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(t->multi, CURLMOPT_TIMERFUNCTION, OnTimer);
  curl_multi_setopt(t->multi, CURLMOPT_TIMERDATA, this);
  transfer_ = std::move(t);
  // Adding the handle asks for a time-out of 0 through OnTimer, which starts
  // the transfer on the next pass.
  if (curl_multi_add_handle(transfer_->multi, curl) != CURLM_OK) FailLater();
}

void WebBrowser::FailLater() {
  Stop();
  std::weak_ptr<bool> alive = alive_;
  const uint64_t generation = generation_;
  loop_.Post([this, alive, generation] {
    if (alive.lock() && generation == generation_) Finish(false, 0);
  });
}

int WebBrowser::OnSocket(void*, int socket, int what, void* self, void*) {
  auto* pane = static_cast<WebBrowser*>(self);
  auto it = pane->watches_.find(socket);
  if (what == CURL_POLL_REMOVE) {
    if (it != pane->watches_.end()) {
      pane->loop_.Unwatch(it->second);
      pane->watches_.erase(it);
    }
    return 0;
  }
  short events = static_cast<short>(((what & CURL_POLL_IN) ? POLLIN : 0) |
                                    ((what & CURL_POLL_OUT) ? POLLOUT : 0));
  if (it != pane->watches_.end()) {
    pane->loop_.SetWatchEvents(it->second, events);
  } else {
    pane->watches_[socket] = pane->loop_.Watch(socket, events, [pane, socket](short revents) {
      int flags = ((revents & POLLIN) ? CURL_CSELECT_IN : 0) |
                  ((revents & POLLOUT) ? CURL_CSELECT_OUT : 0) |
                  ((revents & (POLLERR | POLLHUP | POLLNVAL)) ? CURL_CSELECT_ERR : 0);
      pane->Drive(socket, flags);
    });
  }
  return 0;
}

int WebBrowser::OnTimer(void*, long timeout_ms, void* self) {
  auto* pane = static_cast<WebBrowser*>(self);
  if (timeout_ms < 0) {
    pane->timer_.SetEnabled(false);
  } else if (timeout_ms == 0) {
    pane->timer_.SetEnabled(false);
    std::weak_ptr<bool> alive = pane->alive_;
    pane->loop_.Post([pane, alive] {
      if (alive.lock()) pane->Drive(CURL_SOCKET_TIMEOUT, 0);
    });
  } else {
    pane->timer_.SetInterval(static_cast<int>(std::min(timeout_ms, 60'000L)));
    pane->timer_.SetEnabled(true);
  }
  return 0;
}

void WebBrowser::Drive(int socket, int flags) {
  if (!transfer_) return;
  int running = 0;
  curl_multi_socket_action(transfer_->multi, socket, flags, &running);
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(transfer_->multi, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    long status = 0;
    curl_easy_getinfo(msg->easy_handle, CURLINFO_RESPONSE_CODE, &status);
    Finish(msg->data.result == CURLE_OK, status);
    return;
  }
}

void WebBrowser::Finish(bool fetched, long status) {
  std::string page = transfer_ ? std::move(transfer_->page) : std::string();
  Stop();
  busy_ = false;
  Invalidate();
  const std::string address = address_;
  if (!fetched || status >= 400) {
    if (NavigateError) NavigateError(address, static_cast<int>(status));
    return;
  }
  title_ = PageTitle(page);
  std::weak_ptr<bool> alive = alive_;
  if (DownloadComplete) DownloadComplete();
  if (alive.lock() && DocumentComplete) DocumentComplete(address);
}

}  // namespace slvn
