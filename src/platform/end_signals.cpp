#include "platform/end_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace slvn {

namespace {

sigset_t EndSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

}  // namespace

void BlockEndSignals() {
  const sigset_t set = EndSignalSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

EndSignals::EndSignals(EventLoop& loop, std::function<void(int)> handler)
    : loop_(loop), handler_(std::move(handler)) {
  const sigset_t set = EndSignalSet();
  fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ >= 0) watch_ = loop_.Watch(fd_, POLLIN, [this](short) { OnReadable(); });
}

EndSignals::~EndSignals() {
  if (fd_ < 0) return;
  loop_.Unwatch(watch_);
  close(fd_);
}

void EndSignals::OnReadable() {
  signalfd_siginfo info{};
  if (read(fd_, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return;
  if (handler_) handler_(static_cast<int>(info.ssi_signo));
}

}  // namespace slvn
