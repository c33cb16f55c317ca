#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/timer.h"

namespace slvn {

class EventLoop;

// What a fetch brought back: whether the transfer finished, the HTTP status
// (0 when there was no answer) and the body.
struct FetchResult {
  bool fetched = false;
  long status = 0;
  std::string body;
  bool Ok() const { return fetched && status < 400; }
};

// One HTTP(S) GET at a time, driven by the loop's sockets and a timer, never
// blocking. Other schemes, a time-out or a body over the limit fail. The
// handler never runs inside Start, and runs after the fetch has let go of
// everything, so it may start a new fetch or destroy this one.
class HttpFetch {
 public:
  using Handler = std::function<void(FetchResult)>;

  explicit HttpFetch(EventLoop& loop);
  ~HttpFetch();
  HttpFetch(const HttpFetch&) = delete;
  HttpFetch& operator=(const HttpFetch&) = delete;

  // Starts fetching `address`, abandoning any fetch under way (whose handler
  // then never runs).
  void Start(const std::string& address, long timeout_ms, size_t max_bytes, Handler done);
  // Abandons the fetch under way, if any.
  void Cancel();
  bool Running() const { return static_cast<bool>(done_); }

 private:
  struct Transfer;  // libcurl's handles and what has arrived

  void Stop();
  // Lets libcurl work on a socket (or its time-outs) and finishes the
  // transfer when it is done.
  void Drive(int socket, int flags);
  void Finish(FetchResult result);
  static int OnSocket(void* easy, int socket, int what, void* self, void* socket_data);
  static int OnTimer(void* multi, long timeout_ms, void* self);

  EventLoop& loop_;
  Handler done_;
  uint64_t generation_ = 0;  // counts Start and Cancel calls
  std::unique_ptr<Transfer> transfer_;
  std::map<int, int> watches_;  // socket -> the loop's watch id
  Timer timer_;
  std::shared_ptr<bool> alive_;
};

}  // namespace slvn
