#include "platform/desktop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/child_program.h"

namespace slvn {

DesktopOpener::~DesktopOpener() {
  Reap(false);
}

bool DesktopOpener::Open(const std::string& path) {
  Reap(false);
  const pid_t pid = ChildProgram({"xdg-open", path}).Start();
  if (pid < 0) return false;
  running_.push_back(pid);
  return true;
}

void DesktopOpener::Reap(bool wait) {
  std::erase_if(running_,
                [wait](pid_t pid) { return waitpid(pid, nullptr, wait ? 0 : WNOHANG) != 0; });
}

bool MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  struct stat st {};
  return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST ? NewFileResult::kExists : NewFileResult::kFailed;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool closed = close(fd) == 0;
  if (done == bytes.size() && closed) return NewFileResult::kWritten;
  unlink(path.c_str());
  return NewFileResult::kFailed;
}

std::tm LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace slvn
