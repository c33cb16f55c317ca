#pragma once

#include <sys/types.h>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace slvn {

// Opens a folder or file with the desktop's handler (xdg-open), not waiting
// for it; handlers that have ended are reaped at the next call and at the end.
class DesktopOpener {
 public:
  DesktopOpener() = default;
  ~DesktopOpener();
  DesktopOpener(const DesktopOpener&) = delete;
  DesktopOpener& operator=(const DesktopOpener&) = delete;

  // False when the handler could not be started.
  bool Open(const std::string& path);

 private:
  void Reap(bool wait);
  std::vector<pid_t> running_;
};

// Makes the folder when it is missing; true when it exists afterwards.
bool MakeFolder(const std::string& path);

enum class NewFileResult { kWritten, kExists, kFailed };
// Creates the file (never over an existing one) and writes all the bytes;
// a write that fails part way removes what it wrote.
NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes);

// The local date and time now.
std::tm LocalTimeNow();

}  // namespace slvn
