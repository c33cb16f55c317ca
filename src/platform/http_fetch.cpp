#include "platform/http_fetch.h"

#include <curl/curl.h>
#include <poll.h>

#include <algorithm>
#include <cctype>

#include "platform/event_loop.h"

namespace slvn {

namespace {

bool IsHttp(const std::string& address) {
  std::string a = address.substr(0, 8);
  std::transform(a.begin(), a.end(), a.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return a.starts_with("http://") || a.starts_with("https://");
}

}  // namespace

struct HttpFetch::Transfer {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  std::string body;
  size_t max_bytes = 0;
  ~Transfer() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
  }
  static size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    size_t n = size * count;
    if (n > t->max_bytes - t->body.size()) return 0;  // aborts the transfer
    t->body.append(data, n);
    return n;
  }
};

HttpFetch::HttpFetch(EventLoop& loop)
    : loop_(loop), timer_(loop), alive_(std::make_shared<bool>(true)) {
  timer_.SetHandler([this] {
    timer_.SetEnabled(false);
    Drive(CURL_SOCKET_TIMEOUT, 0);
  });
}

HttpFetch::~HttpFetch() {
  Stop();
}

void HttpFetch::Cancel() {
  Stop();
  done_ = nullptr;
  ++generation_;
}

void HttpFetch::Stop() {
  transfer_.reset();
  for (const auto& [socket, watch] : watches_) loop_.Unwatch(watch);
  watches_.clear();
  timer_.SetEnabled(false);
}

void HttpFetch::Start(const std::string& address, long timeout_ms, size_t max_bytes, Handler done) {
  Cancel();
  done_ = std::move(done);
  auto t = std::make_unique<Transfer>();
  t->multi = curl_multi_init();
  t->easy = curl_easy_init();
  t->max_bytes = max_bytes;
  bool started = IsHttp(address) && t->multi && t->easy;
  if (started) {
    CURL* curl = t->easy;
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout_ms);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout_ms);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Transfer::Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, t.get());
    curl_multi_setopt(t->multi, CURLMOPT_SOCKETFUNCTION, OnSocket);
    curl_multi_setopt(t->multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(t->multi, CURLMOPT_TIMERFUNCTION, OnTimer);
    curl_multi_setopt(t->multi, CURLMOPT_TIMERDATA, this);
    transfer_ = std::move(t);
    // Adding the handle asks for a time-out of 0 through OnTimer, which starts
    // the transfer on the next pass.
    started = curl_multi_add_handle(transfer_->multi, curl) == CURLM_OK;
  }
  if (started) return;
  // Fails on a later pass, as a failed transfer would.
  Stop();
  std::weak_ptr<bool> alive = alive_;
  loop_.Post([this, alive, generation = generation_] {
    if (alive.lock() && generation == generation_) Finish({});
  });
}

int HttpFetch::OnSocket(void*, int socket, int what, void* self, void*) {
  auto* fetch = static_cast<HttpFetch*>(self);
  auto it = fetch->watches_.find(socket);
  if (what == CURL_POLL_REMOVE) {
    if (it != fetch->watches_.end()) {
      fetch->loop_.Unwatch(it->second);
      fetch->watches_.erase(it);
    }
    return 0;
  }
  short events = static_cast<short>(((what & CURL_POLL_IN) ? POLLIN : 0) |
                                    ((what & CURL_POLL_OUT) ? POLLOUT : 0));
  if (it != fetch->watches_.end()) {
    fetch->loop_.SetWatchEvents(it->second, events);
  } else {
    fetch->watches_[socket] = fetch->loop_.Watch(socket, events, [fetch, socket](short revents) {
      int flags = ((revents & POLLIN) ? CURL_CSELECT_IN : 0) |
                  ((revents & POLLOUT) ? CURL_CSELECT_OUT : 0) |
                  ((revents & (POLLERR | POLLHUP | POLLNVAL)) ? CURL_CSELECT_ERR : 0);
      fetch->Drive(socket, flags);
    });
  }
  return 0;
}

int HttpFetch::OnTimer(void*, long timeout_ms, void* self) {
  auto* fetch = static_cast<HttpFetch*>(self);
  if (timeout_ms < 0) {
    fetch->timer_.SetEnabled(false);
  } else if (timeout_ms == 0) {
    fetch->timer_.SetEnabled(false);
    std::weak_ptr<bool> alive = fetch->alive_;
    fetch->loop_.Post([fetch, alive] {
      if (alive.lock()) fetch->Drive(CURL_SOCKET_TIMEOUT, 0);
    });
  } else {
    fetch->timer_.SetInterval(static_cast<int>(std::min(timeout_ms, 60'000L)));
    fetch->timer_.SetEnabled(true);
  }
  return 0;
}

void HttpFetch::Drive(int socket, int flags) {
  if (!transfer_) return;
  int running = 0;
  curl_multi_socket_action(transfer_->multi, socket, flags, &running);
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(transfer_->multi, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    FetchResult result;
    result.fetched = msg->data.result == CURLE_OK;
    curl_easy_getinfo(msg->easy_handle, CURLINFO_RESPONSE_CODE, &result.status);
    result.body = std::move(transfer_->body);
    Finish(std::move(result));
    return;
  }
}

void HttpFetch::Finish(FetchResult result) {
  Stop();
  Handler done = std::move(done_);
  done_ = nullptr;
  if (done) done(std::move(result));
}

}  // namespace slvn
